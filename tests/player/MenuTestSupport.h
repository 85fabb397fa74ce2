#pragma once

#include "common/EventLoop.h"
#include "common/MessageBoxAnswerer.h"
#include "platform/Shell.h"
#include "platform/media/MediaDevice.h"
#include "platform/media/SimulatedMediaSystem.h"
#include "player/MenuWindow.h"
#include "player/Player.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Where a window's frame stands when the whole window is centred on the screen.
inline QPoint CentredOnScreen(const QRect& frame) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return {(screen.width() - frame.width()) / 2, (screen.height() - frame.height()) / 2};
}

// A window framed as the windows are designed: a border of 4, 27 pixels at the top.
template <class Form> class Framed : public Form {
public:
    using Form::Form;
    QMargins FrameMargins() const override { return {4, 23, 4, 4}; }
};

// The player's windows in this process, built from a project file that the test writes into
// a temporary project folder ("proj", beside the player's program folder "prog"). Media play
// on the simulated driver; documents and addresses go to the recording program instead of the
// desktop.
class MenuWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath();
        QDir(root_).mkpath("prog");
        QDir(root_).mkpath("proj");
        startFolder_ = QDir::currentPath();
        Application().Reset();
        Application().Title = QStringLiteral("Tavolin");
        media_ = std::make_shared<TSimulatedMediaSystem>();
        previousMedia_ = SetMediaSystem(media_);
        Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
    }
    void TearDown() override {
        Application().Reset();
        Shell::SetDesktopOpener(QString());
        SetMediaSystem(previousMedia_);
        QApplication::setWindowIcon(QIcon());
        Application().Icon = QIcon();
        QDir::setCurrent(startFolder_);
    }

    // Writes the project file (lines of INI text) into the project folder.
    void Project(const QStringList& lines) { Write("proj/qor.qor", lines.join("\r\n").toUtf8()); }
    // Creates an empty item table in the project folder.
    void ItemTable(const QString& name = QStringLiteral("qor.dbf")) {
        QDir(root_).mkpath(QStringLiteral("proj"));
        TDbTable table;
        AddItemTableFields(table);
        table.SetRunTimePath(root_ + "/proj");
        table.SetTableName(name);
        table.CreateTable();
    }
    void Write(const QString& relative, const QByteArray& bytes) {
        QDir(root_).mkpath(QFileInfo(relative).path());
        QFile f(root_ + "/" + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // The player started with these arguments; extra mount entries decide the base drive and
    // CD mode.
    TPlayerEnvironment Environment(QStringList arguments,
                                   const std::vector<Volumes::MountEntry>& mounts = {}) const {
        std::vector<Volumes::MountEntry> table = Volumes::MountTable();
        table.insert(table.end(), mounts.begin(), mounts.end());
        return {root_ + "/prog/qor.exe", std::move(arguments), std::move(table)};
    }
    // Creates the windows as the program does, shows the menu window and waits until its start
    // is complete (after its first frame).
    TForm1* Start(TPlayerEnvironment env) {
        TForm1* form = CreatePlayerWindows(std::move(env));
        form->show();
        EXPECT_TRUE(ProcessEventsUntil([form] { return form->StartDone; }));
        return form;
    }
    // The same on the project in the project folder.
    TForm1* Start(const std::vector<Volumes::MountEntry>& mounts = {}) {
        return Start(Environment({root_ + "/proj/qor.qor"}, mounts));
    }

    QTemporaryDir tmp_;
    QString root_;
    QString startFolder_;
    MessageBoxAnswerer boxes_;
    std::shared_ptr<TSimulatedMediaSystem> media_;
    std::shared_ptr<TMediaSystem> previousMedia_;
};
