#include "platform/Help.h"
#include "common/StartRecorder.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(Help, ATopicShowsItsPageAnyOtherTheContentsAndAFileWithoutPagesGoesWhole) {
    StartRecorder recorder;
    const QDir dir(recorder.Folder());
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(dir.mkpath(QFileInfo(f).path()) && f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("pages/index.html", "contents");
    write("pages/five.html", "five");
    write("app.hlp",
          "[Options]\nContents=pages/index.html\n[Map]\n5=pages/five.html\n7=pages/no.html\n");
    write("gone.hlp", "[Options]\nContents=no.html\n");
    write("win.hlp", QByteArray("?_\x03\x00\x10\x00\x00\x00", 8));
    Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
    const struct {
        const char* file;
        unsigned command, data;
        const char* shown; // nothing shown when empty
    } cases[] = {
        {"app.hlp", HELP_CONTEXT, 5, "pages/five.html"},
        {"app.hlp", HELP_CONTEXT, 0, "pages/index.html"},
        {"app.hlp", HELP_CONTENTS, 0, "pages/index.html"},
        {"app.hlp", HELP_CONTEXT, 6, "pages/index.html"},
        {"app.hlp", HELP_CONTEXT, 7, "pages/index.html"},
        {"win.hlp", HELP_CONTEXT, 5, "win.hlp"},
        {"gone.hlp", HELP_CONTENTS, 0, ""},
        {"none.hlp", HELP_CONTENTS, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.data));
        ASSERT_EQ(WinHelpA(nullptr, dir.filePath(c.file), c.command, c.data), *c.shown != 0);
        if (*c.shown) {
            const std::optional<StartRecorder::Start> start = recorder.Wait();
            ASSERT_TRUE(start);
            EXPECT_EQ(start->args, QStringList{dir.filePath(c.shown)});
        }
    }
    Shell::SetDesktopOpener(QString());
}
