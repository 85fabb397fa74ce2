#include "components/Msg.h"
#include "common/EventLoop.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/forms/Form.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class MsgTest : public testing::Test {
protected:
    void SetUp() override {
        Application().Reset();
        Application().Title = QStringLiteral("Tavolin 1.1");
        main = Application().CreateForm<TForm>();
        msg = new TMsg(main);
        msg->BoxCaption = QStringLiteral("Caption");
    }
    void TearDown() override { Application().Reset(); }

    unsigned StyleOf(MsgType kind, const QString& text = QStringLiteral("Text")) {
        boxes.Clear();
        if (kind == mbError)
            Application().SafeCall(nullptr, [&] { msg->ShowMsg(kind, text); });
        else
            msg->ShowMsg(kind, text);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
        return boxes.Boxes().empty() ? ~0u : boxes.Boxes().back().style;
    }

    // Runs a handler as the event loop would: from a timer, whatever it raises going to the
    // application's error handler.
    void Dispatch(const std::function<void()>& handler) {
        bool done = false;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            done = true;
            handler();
        });
        timer.start(0);
        ASSERT_TRUE(ProcessEventsUntil([&] { return done; }));
    }

    MessageBoxAnswerer boxes;
    TForm* main = nullptr;
    TMsg* msg = nullptr;
};

TEST_F(MsgTest, StyleOfEveryKind) {
    const std::pair<MsgType, unsigned> expected[] = {
        {mbInformation, 0x40}, {mbExclamation, 0x30}, {mbConfirmation, 0x24},
        {mbSelection, 0x23},   {mbRetry, 0x25},       {mbIgnore, 0x22},
        {mbStop, 0x10},        {mbError, 0x10},       {mbTerminate, 0x30},
    };
    for (auto [kind, style] : expected)
        EXPECT_EQ(StyleOf(kind), style) << "kind " << kind;

    msg->ShowIcons = false;
    for (auto [kind, style] : expected)
        EXPECT_EQ(StyleOf(kind), style & 0x0F) << "kind " << kind;

    msg->ShowIcons = true;
    msg->BoxButton = 3;
    EXPECT_EQ(StyleOf(mbIgnore), 0x222u);
    EXPECT_EQ(msg->BoxButton, 3); // the default button stays for later boxes
    EXPECT_EQ(StyleOf(mbInformation), 0x240u);
}

TEST_F(MsgTest, DefaultKindFollowsTheFormattedText) {
    EXPECT_EQ(StyleOf(mbDefault, QStringLiteral("Save the project?")), 0x24u);
    EXPECT_EQ(StyleOf(mbDefault, QStringLiteral("Saved!")), 0x30u);
    EXPECT_EQ(StyleOf(mbDefault, QStringLiteral("Really?!")), 0x24u);
    EXPECT_EQ(StyleOf(mbDefault, QStringLiteral("Saved.")), 0x40u);

    // The mark may come from an argument.
    msg->Messages = {QStringLiteral("%s")};
    msg->ShowBox(mbDefault, 0, 1, {QStringLiteral("Overwrite it?")});
    EXPECT_EQ(boxes.Boxes().back().style, 0x24u);
    EXPECT_EQ(boxes.Boxes().back().text, "Overwrite it?");
}

TEST_F(MsgTest, DefaultButtonOutOfRangeBecomesTheFirst) {
    msg->BoxButton = 2;
    EXPECT_EQ(StyleOf(mbSelection), 0x123u);
    for (int button : {0, 4, -1}) {
        msg->BoxButton = button;
        EXPECT_EQ(StyleOf(mbSelection), 0x23u);
        EXPECT_EQ(msg->BoxButton, 1);
    }
}

TEST_F(MsgTest, TextsAndCaptionsByIndexFallBackToTheProperties) {
    msg->Messages = {QStringLiteral("First"), QStringLiteral("Second")};
    msg->Captions = {QStringLiteral("Cap one"), QStringLiteral("Cap two")};
    msg->BoxMessage = QStringLiteral("Own text");
    const QVariantList nil{QVariant()};
    struct Case {
        int caption, message;
        const char* text;
        const char* boxCaption;
    } cases[] = {
        {2, 2, "Second", "Cap two"},     {1, 1, "First", "Cap one"},
        {3, 3, "Own text", "Caption"},   {0, 0, "Own text", "Caption"},
        {-1, -1, "Own text", "Caption"},
    };
    for (const Case& c : cases) {
        msg->ShowBox(mbInformation, c.caption, c.message, nil);
        EXPECT_EQ(boxes.Boxes().back().text, c.text) << c.message;
        EXPECT_EQ(boxes.Boxes().back().caption, c.boxCaption) << c.caption;
    }
    // Assigning a list copies it.
    QStringList lines{QStringLiteral("Kept")};
    msg->Messages = lines;
    lines[0] = QStringLiteral("Changed");
    msg->ShowBox(mbInformation, 0, 1, nil);
    EXPECT_EQ(boxes.Boxes().back().text, "Kept");
}

TEST_F(MsgTest, TextIsAlwaysAFormat) {
    msg->ShowMsg(mbInformation, QStringLiteral("100%% sure"));
    EXPECT_EQ(boxes.Boxes().back().text, "100% sure");
    EXPECT_EQ(msg->BoxMessage, "100%% sure");

    msg->Messages = {QStringLiteral("File %s not found (%d)")};
    msg->ShowBox(mbStop, 0, 1, {QStringLiteral("qor.dbf"), 3});
    EXPECT_EQ(boxes.Boxes().back().text, "File qor.dbf not found (3)");

    // A text that does not fit its arguments is shown as it stands.
    EXPECT_EQ(msg->ShowMsg(mbInformation, QStringLiteral("50% off")), IDOK);
    EXPECT_EQ(boxes.Boxes().back().text, "50% off");
}

TEST_F(MsgTest, EmptyTextShowsNothing) {
    int fired = 0;
    msg->OnMessage = [&](QObject*) { ++fired; };
    msg->BoxResult = 7;
    msg->BoxButton = 9;
    EXPECT_EQ(msg->ShowMsg(mbConfirmation, QString()), 0);
    EXPECT_EQ(msg->ShowMsg(mbTerminate, QString()), 0);
    EXPECT_NO_THROW(msg->ShowMsg(mbError, QString()));
    msg->Messages = {QString(), QStringLiteral("Second")};
    msg->BoxMessage = QStringLiteral("Own");
    EXPECT_EQ(msg->ShowBox(mbInformation, 0, 1, {QVariant()}), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(msg->BoxResult, 7);
    EXPECT_EQ(msg->BoxButton, 9);
    EXPECT_FALSE(Application().Terminated());
}

TEST_F(MsgTest, ResultAndOnMessageAfterEveryBox) {
    std::vector<int> seen;
    QObject* sender = nullptr;
    msg->OnMessage = [&](QObject* s) {
        sender = s;
        seen.push_back(msg->BoxResult);
    };
    boxes.Queue(IDNO);
    boxes.Queue(IDCANCEL);
    EXPECT_EQ(msg->ShowMsg(mbConfirmation, QStringLiteral("Delete?")), IDNO);
    EXPECT_EQ(msg->ShowMsg(mbSelection, QStringLiteral("Save?")), IDCANCEL);
    EXPECT_EQ(msg->ShowMsg(mbInformation, QStringLiteral("Done")), IDOK);
    EXPECT_EQ(seen, (std::vector<int>{IDNO, IDCANCEL, IDOK}));
    EXPECT_EQ(msg->BoxResult, IDOK);
    EXPECT_EQ(sender, msg);
}

TEST_F(MsgTest, TerminateKindEndsTheApplicationAfterOnMessage) {
    bool terminatedAtEvent = true;
    msg->OnMessage = [&](QObject*) { terminatedAtEvent = Application().Terminated(); };
    EXPECT_EQ(msg->ShowMsg(mbTerminate, QStringLiteral("No project file")), IDOK);
    EXPECT_FALSE(terminatedAtEvent);
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MsgTest, ErrorKindAbortsTheHandlerSilentlyAndRestoresTheHandler) {
    bool after = false;
    Dispatch([&] {
        msg->ShowMsg(mbError, QStringLiteral("Wrong input"));
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].style, 0x10u);

    // The component's error box is in force again.
    Dispatch([] { throw Exception(QStringLiteral("Next")); });
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].text, "Next");
    EXPECT_EQ(boxes.Boxes()[1].caption, "Caption");
    EXPECT_EQ(boxes.Boxes()[1].style, 0x10u);
}

TEST_F(MsgTest, ErrorKindRestoresAHandlerInstalledAfterTheComponent) {
    QStringList caught;
    Application().OnException = [&](QObject*, const std::exception& e) {
        caught << ExceptionMessage(e);
    };
    bool after = false;
    Application().SafeCall(nullptr, [&] {
        msg->ShowMsg(mbError, QStringLiteral("Wrong input"));
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_TRUE(caught.isEmpty());
    Dispatch([] { throw Exception(QStringLiteral("Next")); });
    EXPECT_EQ(caught, QStringList{"Next"});
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(MsgTest, AbortCaughtByTheCallerDoesNotSwallowLaterErrors) {
    // The first abort never reaches the application; the second must still restore the
    // handler that was in force before both.
    Application().SafeCall(nullptr, [&] {
        try {
            msg->ShowMsg(mbError, QStringLiteral("First"));
        } catch (const EMsgError&) {
        }
        msg->ShowMsg(mbError, QStringLiteral("Second"));
    });
    Dispatch([] { throw Exception(QStringLiteral("Shown")); });
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes()[2].text, "Shown");
}

TEST_F(MsgTest, ExceptionBoxShowsTheMessageOnceAndNothingWhenEmpty) {
    Dispatch([] { throw Exception(QStringLiteral("100% wrong")); });
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "100% wrong");
    EXPECT_EQ(msg->BoxMessage, "100% wrong");

    Dispatch([] { throw Exception(); });
    Dispatch([] { throw EAbort(QStringLiteral("quiet")); });
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(MsgTest, FormsAreDisabledDuringTheBoxAndRestoredAfter) {
    auto* enabled = Application().CreateForm<TForm>();
    auto* disabled = Application().CreateForm<TForm>();
    auto* onTop = Application().CreateForm<TForm>();
    auto* hiddenOnTop = Application().CreateForm<TForm>();
    disabled->setEnabled(false);
    onTop->SetFormStyle(fsStayOnTop);
    hiddenOnTop->SetFormStyle(fsStayOnTop);
    main->show();
    enabled->show();
    onTop->show();
    int shows = 0;
    onTop->OnShow = [&](QObject*) { ++shows; };

    std::vector<bool> during;
    bool topDuring = true, hiddenTopDuring = false;
    TMessageBoxHook answerer = SetMessageBoxHook([&](const QString&, const QString&, unsigned) {
        for (TForm* f : Application().Forms())
            during.push_back(f->isEnabled());
        topDuring = onTop->IsTopmost();
        hiddenTopDuring = hiddenOnTop->IsTopmost();
        return IDOK;
    });
    msg->ShowMsg(mbInformation, QStringLiteral("Hello"));
    SetMessageBoxHook(std::move(answerer));

    EXPECT_EQ(during, std::vector<bool>(5, false));
    EXPECT_FALSE(topDuring);
    EXPECT_TRUE(hiddenTopDuring); // only visible windows leave the band
    EXPECT_TRUE(main->isEnabled());
    EXPECT_TRUE(enabled->isEnabled());
    EXPECT_FALSE(disabled->isEnabled());
    EXPECT_TRUE(onTop->IsTopmost());
    EXPECT_TRUE(onTop->isVisible());
    EXPECT_EQ(shows, 0); // leaving the band and coming back is no new showing
}

TEST_F(MsgTest, BoxThatRaisesLeavesEverythingRestoredAndPassesTheError) {
    auto* onTop = Application().CreateForm<TForm>();
    onTop->SetFormStyle(fsStayOnTop);
    main->show();
    onTop->show();
    int fired = 0;
    msg->OnMessage = [&](QObject*) { ++fired; };
    msg->BoxResult = 6;
    TMessageBoxHook answerer = SetMessageBoxHook(
        [](const QString&, const QString&, unsigned) -> int { throw std::runtime_error("gone"); });
    EXPECT_THROW(msg->ShowMsg(mbTerminate, QStringLiteral("Hello")), std::runtime_error);
    SetMessageBoxHook(std::move(answerer));
    EXPECT_TRUE(main->isEnabled());
    EXPECT_TRUE(onTop->isEnabled());
    EXPECT_TRUE(onTop->IsTopmost());
    EXPECT_EQ(msg->BoxResult, 6);
    EXPECT_EQ(fired, 0);
    EXPECT_FALSE(Application().Terminated());
}

TEST_F(MsgTest, FocusAndCursorAroundTheBox) {
    auto* first = new QLineEdit(main);
    auto* second = new QLineEdit(main);
    main->show();
    main->activateWindow();
    ASSERT_TRUE(ProcessEventsUntil([&] { return main->isActiveWindow(); }));
    first->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), first);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);

    bool cursorDuring = true;
    TMessageBoxHook answerer = SetMessageBoxHook([&](const QString&, const QString&, unsigned) {
        cursorDuring = QGuiApplication::overrideCursor() != nullptr;
        second->setFocus();
        return IDOK;
    });
    msg->ShowMsg(mbInformation, QStringLiteral("Hello"));
    SetMessageBoxHook(std::move(answerer));
    EXPECT_FALSE(cursorDuring);
    EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(MsgTest, DestructorRestoresTheHandlerInForceAtCreation) {
    delete msg;
    QStringList caught;
    Application().OnException = [&](QObject*, const std::exception& e) {
        caught << ExceptionMessage(e);
    };
    auto* own = new TMsg(main);
    Application().OnException = [](QObject*, const std::exception&) {}; // installed meanwhile
    delete own;
    Application().HandleException(nullptr, Exception(QStringLiteral("back")));
    EXPECT_EQ(caught, QStringList{"back"});
    EXPECT_TRUE(boxes.Boxes().empty());

    // Freed out of creation order: the handler left behind belongs to a freed component and
    // falls back to the application's own error box.
    auto* a = new TMsg(main);
    auto* b = new TMsg(main);
    delete a;
    delete b;
    Application().HandleException(nullptr, Exception(QStringLiteral("still shown")));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "still shown");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Tavolin 1.1");
}

} // namespace
