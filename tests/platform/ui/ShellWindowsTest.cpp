#include "common/ShellAnswerer.h"
#include "platform/WinError.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class ShellWindowsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath();
    }
    void TearDown() override { TShellOperationWindows::ProgressDelay = 700; }

    void Write(const QString& relative, const QByteArray& bytes) {
        QDir(root_).mkpath(QFileInfo(relative).path());
        QFile f(root_ + "/" + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList Names(const QString& relative) const {
        return QDir(root_ + "/" + relative)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    int Run(unsigned func, const QString& from, const QString& to) {
        op_ = SHFILEOPSTRUCTA{};
        op_.wFunc = func;
        op_.pFrom = Shell::ToNameList(root_ + "/" + from);
        op_.pTo = Shell::ToNameList(root_ + "/" + to);
        op_.fFlags = FOF_ALLOWUNDO;
        return SHFileOperationA(&op_);
    }

    QTemporaryDir tmp_;
    QString root_;
    SHFILEOPSTRUCTA op_;
};

} // namespace

TEST_F(ShellWindowsTest, TheReplaceQuestionNamesBothFilesAndNoMeansNo) {
    ShellAnswerer shell;
    Write("src/a.txt", "new!");
    Write("dst/a.txt", "old");
    shell.Queue(QMessageBox::No);
    EXPECT_EQ(Run(FO_COPY, "src/a.txt", "dst"), 0);
    EXPECT_TRUE(op_.fAnyOperationsAborted);
    ASSERT_EQ(shell.Boxes().size(), 1u);
    const ShellAnswerer::Box& box = shell.Boxes()[0];
    EXPECT_EQ(box.caption, "Confirm File Replace");
    EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.text.startsWith("The folder \"" + root_ +
                                    "/dst\" already contains a file named \"a.txt\"."));
    EXPECT_TRUE(box.text.contains("3 bytes")) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("4 bytes")) << box.text.toStdString();

    // Errors come as boxes of their own.
    EXPECT_EQ(Run(FO_COPY, "src/gone.txt", "dst"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(shell.Boxes().size(), 2u);
    EXPECT_EQ(shell.Boxes()[1].caption, "Error Copying File");
    EXPECT_EQ(shell.Boxes()[1].buttons, QMessageBox::Ok);
}

TEST_F(ShellWindowsTest, TheCancelButtonOfTheProgressStopsACopyAndLeavesNothingBehind) {
    ShellAnswerer shell;
    Write("src/big.bin", QByteArray(3 << 20, 'x'));
    QDir(root_).mkpath("dst");
    TShellOperationWindows::ProgressDelay = 0;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        TCopyProgress* progress = TShellOperationWindows::OpenProgress();
        ASSERT_NE(progress, nullptr);
        shown = progress->isVisible();
        progress->CancelButton()->click();
    });
    EXPECT_EQ(Run(FO_COPY, "src/big.bin", "dst"), ERROR_CANCELLED);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(op_.fAnyOperationsAborted);
    EXPECT_TRUE(Names("dst").isEmpty());
    EXPECT_EQ(TShellOperationWindows::OpenProgress(), nullptr);
    EXPECT_TRUE(shell.Boxes().empty());
}

TEST(FolderBrowser, TheTreeListsVisibleFoldersAsTheyAreOpened) {
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    for (const char* folder : {"B", "a/inner", ".secret", "empty"})
        QDir(root).mkpath(QLatin1String(folder));
    QFile file(root + "/file.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    TFolderBrowser browser(nullptr, TFolderBrowser::Computer, "Title", false);
    QStringList changes;
    QObject::connect(&browser, &TFolderBrowser::SelectionChanged,
                     [&](const QString& path) { changes << path; });
    browser.SetSelection(root + "/a");
    EXPECT_EQ(browser.SelectedPath(), root + "/a");
    QTreeWidgetItem* a = browser.Tree()->currentItem();
    QTreeWidgetItem* parent = a->parent();
    QStringList listed;
    for (int i = 0; i < parent->childCount(); ++i)
        listed << parent->child(i)->text(0);
    EXPECT_EQ(listed, (QStringList{"a", "B", "empty"}));
    EXPECT_TRUE(parent->isExpanded());
    EXPECT_EQ(a->childCount(), 0); // not read before it is opened
    a->setExpanded(true);
    ASSERT_EQ(a->childCount(), 1);
    EXPECT_EQ(a->child(0)->data(0, Qt::UserRole).toString(), root + "/a/inner");
    EXPECT_EQ(changes, QStringList{root + "/a"});
    EXPECT_TRUE(browser.OkButton()->isEnabled());
    EXPECT_EQ(browser.Title(), "Title");
}
