// The bookmark manager as the user drives it: mouse selection, the keys of
// its menu, OK and Cancel, on offscreen Qt with the input box scripted.
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>

#include "bookmarks/qt/rpvBookMarkForm.h"
#include "tests/app/AppTestSupport.h"

namespace rpv::test {
namespace {

class BookMarkForm : public ::testing::Test {
 protected:
  // bm.csv with the given bookmarks, named by their paths ('-': hidden).
  std::string WriteStore(std::initializer_list<const char*> paths) {
    TBookMarks marks;
    for (const char* p : paths) {
      TBookMark& m = *marks.Items(marks.Add());
      m.Visible = p[0] != '-';
      m.FullPath = std::string("/books/") + (m.Visible ? p : p + 1);
      m.Line = 10;
      m.DateTime = "2004/05/06 9:05:03";
    }
    marks.SaveToFile(dir_.Path("bm.csv"));
    return dir_.Read("bm.csv");
  }

  TfrmBookMark& Open() {
    App();
    form_ = std::make_unique<TfrmBookMark>(nullptr, dialogs_);
    form_->Open(dir_.Path("bm.csv"));
    form_->show();
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    form_->sgdBSList->setFocus();
    return *form_;
  }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form_->sgdBSList, static_cast<Qt::Key>(key), modifiers);
  }

  // Clicks the cell of a row (0 = first bookmark) in the given column.
  void Click(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTableView* grid = form_->sgdBSList;
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
  }

  std::string Cell(int row, int column) const {
    const QAbstractItemModel* model = form_->sgdBSList->model();
    return model->index(row, column).data().toString().toStdString();
  }

  std::string Order() const {
    std::string out;
    for (int i = 0; i < form_->Store().Count(); ++i) out += form_->Store().Items(i)->ShortName();
    return out;
  }

  TTempFolder dir_{"rpv_bmform_"};
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  TScriptedDialogs dialogs_{log_};
  std::unique_ptr<TfrmBookMark> form_;
};

TEST_F(BookMarkForm, GridShowsSixColumnsAndMovesBlocksWithTheSelection) {
  WriteStore({"P", "Q", "-R", "S"});
  TfrmBookMark& form = Open();
  QAbstractItemModel* model = form.sgdBSList->model();
  ASSERT_EQ(model->columnCount(), 6);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ファイル名"));
  EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("フルパス"));
  EXPECT_EQ(Cell(2, 0), "R");
  EXPECT_EQ(Cell(2, 1), "10");
  EXPECT_EQ(Cell(2, 2), "2004/05/06 9:05:03");
  EXPECT_EQ(Cell(2, 4), "False");
  EXPECT_EQ(Cell(2, 5), "/books/R");

  // A click picks a whole row; shift-click extends it to a range of rows.
  Click(1, 3);
  Click(2, 0, Qt::ShiftModifier);
  ASSERT_EQ(form.Selection(), (TRowBlock{1, 2}));
  EXPECT_EQ(form.sgdBSList->selectionModel()->selectedRows().size(), 2);

  Key(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Order(), "QRPS");
  EXPECT_EQ(form.Selection(), (TRowBlock{0, 1}));
  EXPECT_EQ(Cell(0, 0), "Q");
  EXPECT_EQ(Cell(2, 0), "P");
  Key(Qt::Key_Up, Qt::ControlModifier);  // the first bookmark is in the block
  EXPECT_EQ(Order(), "QRPS");

  form.SelectRows({0, 1});
  Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Order(), "PQRS");
  EXPECT_EQ(form.Selection(), (TRowBlock{1, 2}));
  Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Order(), "PSQR");
  Key(Qt::Key_Down, Qt::ControlModifier);  // the last bookmark is in the block
  EXPECT_EQ(Order(), "PSQR");
  EXPECT_EQ(form.Selection(), (TRowBlock{2, 3}));
}

TEST_F(BookMarkForm, DeletingEverythingAndOkLeavesAnEmptyFileCancelLeavesItAlone) {
  const std::string before = WriteStore({"P", "Q", "R", "S"});
  TfrmBookMark& form = Open();
  form.SelectRows({1, 2});
  Key(Qt::Key_Delete);
  EXPECT_EQ(Order(), "PS");
  Key(Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(dir_.Read("bm.csv"), before);

  TfrmBookMark& again = Open();
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(again.Selection(), (TRowBlock{0, 3}));
  Key(Qt::Key_Delete);
  EXPECT_EQ(again.Store().Count(), 0);
  EXPECT_EQ(again.sgdBSList->model()->rowCount(), 1) << "one blank row";
  EXPECT_EQ(Cell(0, 0), "");
  // Nothing left to act on: the menu is disabled and the keys do nothing.
  again.MenuOpening();
  for (QAction* action : again.pmnBS->actions()) EXPECT_FALSE(action->isEnabled());
  Key(Qt::Key_E, Qt::ControlModifier);
  EXPECT_TRUE(log_->Prompts.empty());
  QTest::mouseClick(again.btnOK, Qt::LeftButton);
  EXPECT_EQ(again.result(), QDialog::Accepted);
  EXPECT_EQ(dir_.Read("bm.csv"), "");
}

TEST_F(BookMarkForm, CommentsAndVisibilityReachTheFileOnlyOnOk) {
  WriteStore({"P", "-Q", "R"});
  TfrmBookMark& form = Open();
  // Ctrl+M gives the block the opposite of the current row's state, every
  // time (not a tick left over from an earlier opening of the menu).
  Click(0, 0);
  Click(1, 0, Qt::ShiftModifier);  // current row: the hidden Q
  Key(Qt::Key_M, Qt::ControlModifier);
  EXPECT_TRUE(form.Store().Items(0)->Visible);
  EXPECT_TRUE(form.Store().Items(1)->Visible);
  Key(Qt::Key_M, Qt::ControlModifier);
  EXPECT_FALSE(form.Store().Items(0)->Visible);
  EXPECT_EQ(Cell(0, 4), "False");
  form.MenuOpening();
  EXPECT_FALSE(form.mnuVisible->isChecked());

  log_->InputAnswers.push_back(std::string("say \"hi\", then\tgo"));
  Key(Qt::Key_E, Qt::ControlModifier);
  ASSERT_EQ(log_->Prompts.size(), 1u);
  EXPECT_EQ(Cell(1, 3), "say \"hi\", then\tgo");
  Key(Qt::Key_E, Qt::ControlModifier);  // cancelled: the comment stays
  EXPECT_EQ(form.Store().Items(1)->Comment, "say \"hi\", then\tgo");
  EXPECT_EQ(log_->Prompts.back(), "say \"hi\", then\tgo");
  EXPECT_NE(dir_.Read("bm.csv").find("\"0\""), std::string::npos) << "nothing written yet";
  form.accept();

  const std::string file = dir_.Read("bm.csv");
  EXPECT_NE(file.find("\"say \"\"hi\"\", then\tgo\""), std::string::npos) << file;
  TfrmBookMark& again = Open();
  EXPECT_EQ(Cell(1, 3), "say \"hi\", then\tgo");
  EXPECT_EQ(Cell(0, 4), "False");
  EXPECT_EQ(Cell(1, 4), "False");
  EXPECT_EQ(Cell(2, 4), "True");
  again.reject();
}

TEST_F(BookMarkForm, AwkwardTextSurvivesOkUnchanged) {
  TBookMarks marks;
  TBookMark& m = *marks.Items(marks.Add());
  m.FullPath = "/b\"oo,ks/\t" + Utf8ToCp932("表示ソ") + "\x81\x40\x9f\xfc\xe0\x40\xfc\x7e";
  m.Line = 3;
  m.DateTime = "x";
  m.Comment = "a \"quote\", a comma,\nline feed, \x82\xa0\xea\xa4 \x7f";
  m.Visible = true;
  m.Archive = "/arc,\"q\".zip";
  marks.SaveToFile(dir_.Path("bm.csv"));
  const std::string before = dir_.Read("bm.csv");
  TfrmBookMark& form = Open();
  ASSERT_EQ(form.Store().Count(), 1);
  TBookMark expected = m;
  // The line feed became a space on saving; nothing else changed.
  std::replace(expected.Comment.begin(), expected.Comment.end(), '\n', ' ');
  EXPECT_EQ(*form.Store().Items(0), expected);
  form.accept();
  EXPECT_EQ(dir_.Read("bm.csv"), before);
}

TEST_F(BookMarkForm, AnUnreadableFileFailsToOpen) {
  dir_.Write("bm.csv", "\"/a\",\"1\",\"\",\"\",\"-1\",\"\"\r\n\"/b\",\"x\",\"\",\"\",\"-1\",\"\"\r\n");
  App();
  TfrmBookMark form(nullptr, dialogs_);
  try {
    form.Open(dir_.Path("bm.csv"));
    FAIL() << "opened";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.LineNumber(), 2);
  }
}

}  // namespace
}  // namespace rpv::test
