// Every question and message the main window puts to the user goes through
// this interface, so tests can answer them without a person. All text is
// CP932, like every string of the program; the Qt implementation converts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rpv {

class TBookClass;

// What the style dialogs are given by the window: the style file, the page
// the style is for (device pixels and dots per inch), and the document the
// editor's preview shows from a source line (none: a sample text).
struct TStyleDialogContext {
  std::string SettingsFile;
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  int32_t Dpi = 96;
  const TBookClass* Book = nullptr;
  int32_t SourceLine = 0;
};
struct TOtherSettings;

// Options of the find dialog, as FindText takes them.
inline constexpr int kFindOptionDown = 0x1;
inline constexpr int kFindOptionMatchCase = 0x20;

class IUserDialogs {
 public:
  virtual ~IUserDialogs() = default;

  // A plain message with an OK button, titled with the application title.
  virtual void ShowMessage(const std::string& text) = 0;
  // A question without an icon, buttons OK and Cancel; true for OK.
  virtual bool ConfirmOkCancel(const std::string& title, const std::string& text) = 0;
  // A one-line input box; nullopt when cancelled.
  virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& initial) = 0;

  // Called with the pattern and the options on every "find next"; false
  // when nothing was found (the dialog says so).
  using FindHandler = std::function<bool(const std::string& pattern, int options)>;
  // Shows the modeless find dialog (or raises it when it is open). Its
  // options start as given; the user may change direction and match case.
  virtual void ShowFind(int options, FindHandler onFind) = 0;

  // The title message boxes carry (the application title).
  virtual void SetApplicationTitle(const std::string& title) = 0;

  // The system's open dialog with its own title, starting in folder (empty:
  // wherever the system likes) and offering the name filters ("description
  // (patterns)"); the chosen path, nullopt when cancelled.
  virtual std::optional<std::string> OpenFileName(const std::string& folder,
                                                  const std::vector<std::string>& nameFilters) {
    (void)folder;
    (void)nameFilters;
    return std::nullopt;
  }
  // Hands a web or mail address to the desktop's handler.
  virtual void OpenUrl(const std::string& url) { (void)url; }

  // The style editor for one section, opened on tab `page`, which is set to
  // the tab shown last. True when closed with OK (the section is written).
  virtual bool EditStyle(const TStyleDialogContext& context, const std::string& section,
                         int& page) {
    (void)context;
    (void)section;
    (void)page;
    return false;
  }
  // The style list with the given names; the names as the user left them.
  virtual std::vector<std::string> EditStyleList(const TStyleDialogContext& context,
                                                 std::vector<std::string> names) {
    (void)context;
    return names;
  }
  // The bookmark manager on the bm.csv at path, modal; true when it closed
  // with OK (it has then written the file). A file it cannot read is
  // reported and the manager not shown.
  virtual bool EditBookMarks(const std::string& path) {
    (void)path;
    return false;
  }
  // The other-settings dialog over the values, editing ka.ini and ma.ini of
  // the program folder exeDir (it writes both on OK); true after OK, with
  // the user's choices in values.
  virtual bool OtherSettings(const std::string& exeDir, TOtherSettings& values) {
    (void)exeDir;
    (void)values;
    return false;
  }
  // The about box with its five texts.
  virtual void ShowAbout(const std::string& productName, const std::string& version,
                         const std::string& author, const std::string& mail,
                         const std::string& url) {
    (void)productName, (void)version, (void)author, (void)mail, (void)url;
  }
  // The member chooser of an archive, its list in the page's colours
  // (Windows colour values); the path of the member it extracted into the
  // program's "archive" folder, nullopt when cancelled.
  virtual std::optional<std::string> ChooseArchiveMember(const std::string& archivePath,
                                                         int32_t fontColor, int32_t backColor) {
    (void)archivePath;
    (void)fontColor;
    (void)backColor;
    return std::nullopt;
  }
};

}  // namespace rpv
