// The member chooser as the user drives it: sorted regular files in the
// page's colours, Open with nothing chosen, Enter, double click, Esc, and
// a member that cannot be extracted.
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>

#include "tests/app/AppTestSupport.h"
#include "archive/qt/ArchiveForm.h"
#include "tests/support/ArchiveBuilder.h"

namespace rpv::test {
namespace {

class ArchiveFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    zip_ = home_.Write("mixed.zip", MakeZip({{"b.txt", "bee", ""},
                                             {"dir/c.txt", "sea", ""},
                                             {"A.txt", "ay", ""},
                                             {"link.txt", "", "b.txt"}}));
  }
  std::unique_ptr<TArchiveForm> Form(const std::string& archive) {
    auto form = std::make_unique<TArchiveForm>(nullptr, [this](const std::string& text) {
      messages_.push_back(U(text));
    });
    form->ArchivePath = archive;
    form->SetListColours(0x00102030, 0x00E0F0FF);
    return form;
  }
  static std::vector<std::string> Items(const TArchiveForm& form) {
    std::vector<std::string> items;
    for (int i = 0; i < form.lstFileList->count(); ++i)
      items.push_back(form.lstFileList->item(i)->text().toStdString());
    return items;
  }

  TTempHome home_;
  std::string zip_;
  std::vector<std::string> messages_;
};

TEST_F(ArchiveFormTest, OpensTheChosenMemberByEnterOrDoubleClick) {
  auto form = Form(zip_);
  ASSERT_TRUE(form->FormShow());
  EXPECT_EQ(Items(*form), (std::vector<std::string>{"A.txt", "b.txt", "dir/c.txt"}));
  EXPECT_TRUE(form->windowTitle().startsWith("mixed.zip - libarchive ver3."));
  EXPECT_EQ(form->lstFileList->palette().color(QPalette::Text), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(form->lstFileList->palette().color(QPalette::Base), QColor(0xFF, 0xF0, 0xE0));
  EXPECT_TRUE(form->btnOpen->isDefault());
  EXPECT_EQ(form->size(), QSize(560, 363));
  form->show();

  // Open with nothing chosen asks for a choice and stays.
  QTest::mouseClick(form->btnOpen, Qt::LeftButton);
  EXPECT_EQ(messages_, std::vector<std::string>{"SelectFile"});
  EXPECT_TRUE(form->isVisible());

  form->lstFileList->setCurrentRow(2);
  QTest::keyClick(form->lstFileList, Qt::Key_Return);
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_EQ(form->ChosenFile, home_.Path("archive/c.txt"));
  EXPECT_EQ(home_.Read("archive/c.txt"), "sea");

  auto again = Form(zip_);
  ASSERT_TRUE(again->FormShow());
  again->show();
  const QRect row = again->lstFileList->visualItemRect(again->lstFileList->item(0));
  QTest::mouseClick(again->lstFileList->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(again->lstFileList->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(again->result(), QDialog::Accepted);
  EXPECT_EQ(again->ChosenFile, home_.Path("archive/A.txt"));
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(ArchiveFormTest, EscapeAndFailuresOpenNothing) {
  auto form = Form(zip_);
  ASSERT_TRUE(form->FormShow());
  form->show();
  form->lstFileList->setCurrentRow(1);
  QTest::keyClick(form->lstFileList, Qt::Key_Escape);
  EXPECT_EQ(form->result(), QDialog::Rejected);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->ChosenFile.empty());
  EXPECT_FALSE(DirectoryExists(home_.Path("archive")));

  // The member went away after listing: "Error", the chooser stays open.
  auto gone = Form(zip_);
  ASSERT_TRUE(gone->FormShow());
  gone->show();
  home_.Write("mixed.zip", MakeZip({{"other.txt", "o", ""}}));
  gone->lstFileList->setCurrentRow(0);
  QTest::mouseClick(gone->btnOpen, Qt::LeftButton);
  EXPECT_EQ(messages_, std::vector<std::string>{"Error"});
  EXPECT_TRUE(gone->isVisible());
  EXPECT_TRUE(gone->ChosenFile.empty());

  // An archive that cannot be listed at all never shows the chooser.
  auto broken = Form(home_.Write("broken.zip", "PK\x03\x04 and nothing"));
  EXPECT_FALSE(broken->FormShow());
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_NE(messages_[1].find("は壊れているか、途中で切れています。"), std::string::npos);
}

}  // namespace
}  // namespace rpv::test
