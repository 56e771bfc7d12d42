// The about box: its title and labels once shown, and its two links.
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "dialogs/AboutDlgs.h"
#include "tests/app/AppTestSupport.h"

namespace rpv::test {
namespace {

TEST(AboutBox, ShowsTheProductAndOpensOnlyGivenAddresses) {
  App();
  TfrmAboutBox box;
  std::vector<std::string> opened;
  box.OnOpenUrl = [&](const std::string& url) { opened.push_back(url); };
  box.SetTexts(S("【瑠頁～るぺい～】"), "3.0.0", "someone", "", "https://example.org/");
  EXPECT_FALSE(box.imgIcon->pixmap().isNull());
  box.show();
  EXPECT_EQ(box.windowTitle(), QStringLiteral("【瑠頁～るぺい～】のバージョン情報"));
  EXPECT_EQ(box.lblVersion->text(), QStringLiteral("Version 3.0.0"));
  EXPECT_TRUE(box.lblCopyright->text().contains(QStringLiteral("someone")));
  // Shown again, the fixed texts are not added twice.
  box.hide();
  box.show();
  EXPECT_EQ(box.lblVersion->text(), QStringLiteral("Version 3.0.0"));

  QTest::mouseClick(box.lblMail, Qt::LeftButton);  // no address: nothing
  EXPECT_TRUE(opened.empty());
  QTest::mouseClick(box.lblUrl, Qt::LeftButton);
  box.SetTexts(S("x"), "1", "a", "me@example.org", "");
  QTest::mouseClick(box.lblMail, Qt::LeftButton);
  QTest::mouseClick(box.lblUrl, Qt::LeftButton);
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/", "mailto:me@example.org"}));
}

}  // namespace
}  // namespace rpv::test
