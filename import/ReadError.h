// The error a document read raises. what() is a CP932 message meant for the
// user, shown as it is in a message box.
#pragma once

#include <stdexcept>
#include <string>

namespace rpv {

class TReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace rpv
