#include "platform/Help.h"
#include "FolderTest.h"
#include "common/StartRecorder.h"
#include "platform/Shell.h"

using Help = FolderTest;

TEST_F(Help, ATopicShowsItsPageAnyOtherTheContentsAndAFileWithoutPagesGoesWhole) {
    Write("pages/index.html", "contents");
    Write("pages/five.html", "five");
    Write("app.hlp",
          "[Options]\nContents=pages/index.html\n[Map]\n5=pages/five.html\n7=pages/no.html\n");
    Write("gone.hlp", "[Options]\nContents=no.html\n");
    Write("win.hlp", QByteArray("?_\x03\x00\x10\x00\x00\x00", 8));
    StartRecorder recorder;
    Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
    // The file, command and data, and the page shown.
    const std::tuple<const char*, unsigned, unsigned, const char*> cases[] = {
        {"app.hlp", HELP_CONTEXT, 5, "pages/five.html"},
        {"app.hlp", HELP_CONTEXT, 0, "pages/index.html"},
        {"app.hlp", HELP_CONTENTS, 0, "pages/index.html"},
        {"app.hlp", HELP_CONTEXT, 6, "pages/index.html"},
        {"app.hlp", HELP_CONTEXT, 7, "pages/index.html"},
        {"win.hlp", HELP_CONTEXT, 5, "win.hlp"}};
    for (const auto& [file, command, data, shown] : cases) {
        SCOPED_TRACE(std::string(file) + " " + std::to_string(data));
        ASSERT_TRUE(WinHelpA(nullptr, Path(file), command, data));
        EXPECT_EQ(recorder.Wait().value_or(StartRecorder::Start{}).args, QStringList{Path(shown)});
    }
    // Nothing is shown when the page named or the file is missing.
    EXPECT_FALSE(WinHelpA(nullptr, Path("gone.hlp"), HELP_CONTENTS, 0));
    EXPECT_FALSE(WinHelpA(nullptr, Path("none.hlp"), HELP_CONTENTS, 0));
    Shell::SetDesktopOpener(QString());
}
