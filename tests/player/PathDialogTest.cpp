#include "player/PathDialog.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/Exceptions.h"
#include "framework/forms/Form.h"
#include "platform/ui/FolderBrowser.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class PathDialogTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath();
        for (const char* folder : {"a/b", "c", ".hidden/x", "home/docs"})
            QDir(root_).mkpath(QLatin1String(folder));
    }

    QTemporaryDir tmp_;
    QString root_;
};

} // namespace

TEST_F(PathDialogTest, ThePreselectedFolderLosesItsTrailingSeparatorButARootKeepsIt) {
    TPathDialog dialog;
    dialog.SetDirectory(root_ + "/a/b/");
    EXPECT_EQ(dialog.Directory(), root_ + "/a/b");
    dialog.SetDirectory("/");
    EXPECT_EQ(dialog.Directory(), "/");
    dialog.SetDirectory("C:\\");
    EXPECT_EQ(dialog.Directory(), "C:\\");
    dialog.SetDirectory("");
    EXPECT_EQ(dialog.Directory(), QDir::currentPath());

    dialog.SetDirectory(root_ + "/a/b/");
    QString preselected;
    QStringList selected;
    dialog.OnSelect = [&](QObject*, const QString& path) { selected << path; };
    dialog.OnShow = [&](QObject* sender) {
        EXPECT_EQ(sender, &dialog);
        preselected = dialog.Browser()->SelectedPath();
        dialog.Browser()->accept();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(preselected, root_ + "/a/b");
    EXPECT_EQ(selected, QStringList{root_ + "/a/b"});
    EXPECT_EQ(dialog.Directory(), root_ + "/a/b");
    EXPECT_EQ(dialog.Browser(), nullptr);

    // A volume root is a folder that can be chosen.
    dialog.SetDirectory("/");
    dialog.OnSelect = nullptr;
    dialog.OnShow = [&](QObject*) {
        preselected = dialog.Browser()->SelectedPath();
        dialog.Browser()->accept();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(preselected, "/");
    EXPECT_EQ(dialog.Directory(), "/");
}

TEST_F(PathDialogTest, EveryChangeOfTheSelectionIsToldAndOnlyAFolderIsChosen) {
    TPathDialog dialog;
    dialog.SetDirectory(root_ + "/a");
    QStringList selected;
    bool okForComputer = true;
    dialog.OnSelect = [&](QObject* sender, const QString& path) {
        EXPECT_EQ(sender, &dialog);
        selected << path;
    };
    dialog.OnShow = [&](QObject*) {
        TFolderBrowser* browser = dialog.Browser();
        browser->SetSelection(root_ + "/.hidden/x"); // not listed, but reachable by its path
        browser->SetSelection(root_ + "/c");
        browser->SetSelection(root_ + "/no/such/folder"); // leaves the selection
        dialog.SetDirectory(root_ + "/a/b/");             // the setter selects in the browser
        browser->Tree()->setCurrentItem(browser->Tree()->topLevelItem(0)); // the computer
        okForComputer = browser->OkButton()->isEnabled();
        browser->accept();
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(selected, (QStringList{root_ + "/a", root_ + "/.hidden/x", root_ + "/c",
                                     root_ + "/a/b", QString()}));
    EXPECT_FALSE(okForComputer);
    EXPECT_EQ(dialog.Directory(), root_ + "/a/b");

    // Cancelled: false, and the folder stays what it was.
    dialog.OnSelect = nullptr;
    dialog.OnShow = [&](QObject*) {
        dialog.Browser()->SetSelection(root_ + "/c");
        dialog.Browser()->reject();
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), root_ + "/a/b");
}

TEST_F(PathDialogTest, AnErrorInAnEventIsShownAndTheBrowserStaysOpen) {
    MessageBoxAnswerer boxes;
    TPathDialog dialog;
    dialog.SetDirectory(root_ + "/a");
    bool openAfterShowFailed = false;
    dialog.OnShow = [&](QObject*) {
        QTimer::singleShot(0, dialog.Browser(), [&] {
            openAfterShowFailed = dialog.Browser() && dialog.Browser()->isVisible();
            dialog.Browser()->SetSelection(root_ + "/c");
        });
        throw Exception(QStringLiteral("The show went wrong"));
    };
    dialog.OnSelect = [&](QObject*, const QString& path) {
        if (path != root_ + "/c")
            return;
        QTimer::singleShot(0, dialog.Browser(), [&] { dialog.Browser()->accept(); });
        throw EConvertError(QStringLiteral("'c' is not a valid folder"));
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(openAfterShowFailed);
    EXPECT_EQ(dialog.Directory(), root_ + "/c");
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, "The show went wrong");
    EXPECT_EQ(boxes.Boxes()[1].text, "'c' is not a valid folder");
}

TEST_F(PathDialogTest, TheOwnerHandleOwnsTheBrowserElseTheOwnersWindow) {
    TForm form;
    QWidget other;
    TPathDialog dialog(&form);
    QWidget* owner = nullptr;
    dialog.OnShow = [&](QObject*) {
        owner = dialog.Browser()->parentWidget();
        dialog.Browser()->reject();
    };
    dialog.Execute();
    EXPECT_EQ(owner, &form);
    dialog.OwnerHandle = &other;
    dialog.Execute();
    EXPECT_EQ(owner, &other);
}

TEST_F(PathDialogTest, TheDesktopRootIsTheHomeFolderAndTheStatusLineFollowsItsText) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(root_ + "/home"));
    TPathDialog dialog;
    dialog.RootItem = riDesktop;
    dialog.ShowStatus = true;
    dialog.SetStatusText("Where to?");
    dialog.SetDirectory(root_ + "/c"); // outside the tree: the root stays selected
    QString top;
    QString selectedFirst;
    QStringList status;
    dialog.OnShow = [&](QObject*) {
        TFolderBrowser* browser = dialog.Browser();
        top = browser->Tree()->topLevelItem(0)->data(0, Qt::UserRole).toString();
        selectedFirst = browser->SelectedPath();
        status << browser->StatusText();
        dialog.SetStatusText("Pick a folder");
        status << browser->StatusText();
        browser->SetSelection(root_ + "/home/docs");
        browser->accept();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(top, root_ + "/home");
    EXPECT_EQ(selectedFirst, root_ + "/home");
    EXPECT_EQ(status, (QStringList{"Where to?", "Pick a folder"}));
    EXPECT_EQ(dialog.Directory(), root_ + "/home/docs");

    // Without a status line the text is only kept.
    dialog.ShowStatus = false;
    status.clear();
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(status, (QStringList{"", ""}));
    EXPECT_EQ(dialog.StatusText(), "Pick a folder");
    qputenv("HOME", home);
}
