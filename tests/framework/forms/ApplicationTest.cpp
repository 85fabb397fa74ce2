#include "framework/forms/Application.h"
#include "common/EventLoop.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/forms/Form.h"
#include "framework/forms/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A form whose handlers are set before the application runs its OnCreate, as a window's
// constructor does.
class TProbeForm : public TForm {
public:
    explicit TProbeForm(const std::function<void(TProbeForm*)>& setup = {}) {
        if (setup)
            setup(this);
    }
};

struct Caught {
    int count = 0;
    QString message;
    QObject* sender = nullptr;
};

class ApplicationTest : public testing::Test {
protected:
    void SetUp() override {
        Application().Reset();
        Application().Title = QStringLiteral("Title");
    }
    void TearDown() override { Application().Reset(); }

    void Record() {
        Application().OnException = [this](QObject* sender, const std::exception& e) {
            ++caught.count;
            caught.message = ExceptionMessage(e);
            caught.sender = sender;
        };
    }

    Caught caught;
    MessageBoxAnswerer boxes;
};

TEST_F(ApplicationTest, ExceptionInAClickedSlotGoesToTheErrorHandler) {
    Record();
    auto* form = Application().CreateForm<TProbeForm>();
    auto* button = new QPushButton(QStringLiteral("Go"), form);
    bool after = false;
    QObject::connect(button, &QPushButton::clicked, [&] {
        throw EConvertError(QStringLiteral("boom"));
        after = true;
    });
    form->show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(caught.count, 1);
    EXPECT_EQ(caught.message, "boom");
    EXPECT_EQ(caught.sender, button);
    EXPECT_FALSE(after);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ApplicationTest, ExceptionInATimerGoesToTheErrorHandlerAndTheLoopGoesOn) {
    Record();
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [] { throw std::runtime_error("late"); });
    timer.start(0);
    ASSERT_TRUE(ProcessEventsUntil([&] { return caught.count == 1; }));
    EXPECT_EQ(caught.message, "late");
    EXPECT_EQ(caught.sender, &timer);

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    EXPECT_TRUE(ProcessEventsUntil([&] { return ran; }));
}

TEST_F(ApplicationTest, DefaultErrorBoxAndSilentCases) {
    Application().HandleException(nullptr, Exception(QStringLiteral("Disk full")));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Disk full");
    EXPECT_EQ(boxes.Boxes()[0].caption, "Title");
    EXPECT_EQ(boxes.Boxes()[0].style, unsigned(MB_OK | MB_ICONSTOP));

    // An empty text and the framework's abort show nothing.
    Application().HandleException(nullptr, Exception());
    Application().SafeCall(nullptr, [] { throw EAbort(QStringLiteral("quiet")); });
    EXPECT_EQ(boxes.Boxes().size(), 1u);

    Record();
    Application().SafeCall(nullptr, [] { throw EAbort(QStringLiteral("quiet")); });
    Application().SafeCall(nullptr, [] { throw 42; });
    EXPECT_EQ(caught.count, 1);
    EXPECT_EQ(caught.message, "Unknown error");
}

TEST_F(ApplicationTest, ErrorHandlerThatFailsDoesNotEndTheProgramButHaltDoes) {
    Application().OnException = [](QObject*, const std::exception&) {
        throw std::runtime_error("handler broke");
    };
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [] { throw Exception(QStringLiteral("x")); });
    timer.start(0);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !timer.isActive(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(Application().Terminated());

    Application().OnException = [](QObject*, const std::exception&) { Application().Halt(4); };
    timer.start(0);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Application().Terminated(); }));
}

TEST_F(ApplicationTest, OnCreateRunsOnceAndHaltInsideItPropagates) {
    int created = 0;
    auto* form = Application().CreateForm<TProbeForm>(
        [&](TProbeForm* f) { f->OnCreate = [&](QObject*) { ++created; }; });
    EXPECT_EQ(created, 1);
    EXPECT_EQ(Application().MainForm(), form);
    form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(created, 1);

    Record();
    EXPECT_THROW(Application().CreateForm<TProbeForm>(
                     [](TProbeForm* f) { f->OnCreate = [](QObject*) { Application().Halt(0); }; }),
                 EHalt);
    EXPECT_EQ(caught.count, 0);

    // Any other failure of OnCreate is the error handler's.
    Application().CreateForm<TProbeForm>([](TProbeForm* f) {
        f->OnCreate = [](QObject*) { throw Exception(QStringLiteral("no table")); };
    });
    EXPECT_EQ(caught.message, "no table");
}

TEST_F(ApplicationTest, FirstActivationArrivesOffscreen) {
    int activations = 0;
    auto* form = Application().CreateForm<TProbeForm>(
        [&](TProbeForm* f) { f->OnActivate = [&](QObject*) { ++activations; }; });
    form->show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return form->Activated(); }));
    // Let the platform's own activation arrive too: it must not count twice.
    ProcessEventsUntil([&] { return QApplication::activeWindow() == form; }, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(activations, 1);
}

// Counts the paints of a widget.
class TPaintCounter : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST_F(ApplicationTest, AfterNextFrameRunsOnceThePaintIsDone) {
    auto* form = Application().CreateForm<TProbeForm>();
    form->resize(200, 100);
    auto* child = new TPaintCounter(form);
    child->setGeometry(0, 0, 200, 100);
    Record();

    // Asked before the form is on screen: it waits for the first frame.
    std::vector<int> seen;
    form->AfterNextFrame([&] { seen.push_back(child->paints); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(seen.empty());
    form->show();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !seen.empty(); }));
    EXPECT_GE(seen[0], 1);

    // Asked of a form on screen with nothing to paint: it follows one more frame, once.
    const int before = child->paints;
    form->AfterNextFrame([&] { seen.push_back(child->paints); });
    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.size() == 2; }));
    EXPECT_GT(seen[1], before);
    form->update();
    ProcessEventsUntil([] { return false; }, 100);
    EXPECT_EQ(seen.size(), 2u);

    // What it raises goes to the error handler.
    form->AfterNextFrame([] { throw Exception(QStringLiteral("late")); });
    ASSERT_TRUE(ProcessEventsUntil([&] { return caught.count == 1; }));
    EXPECT_EQ(caught.message, "late");

    // A form freed first never runs it.
    bool ran = false;
    form->AfterNextFrame([&] { ran = true; });
    delete form;
    ProcessEventsUntil([] { return false; }, 100);
    EXPECT_FALSE(ran);
}

TEST_F(ApplicationTest, CloseQueryCanRefuseAndClosingTheMainFormTerminates) {
    bool allow = false;
    std::vector<QString> closed;
    auto* main = Application().CreateForm<TProbeForm>([&](TProbeForm* f) {
        f->OnCloseQuery = [&](QObject*, bool& canClose) { canClose = allow; };
        f->OnClose = [&](QObject*, TCloseAction&) { closed.push_back("main"); };
    });
    auto* other = Application().CreateForm<TProbeForm>();
    main->show();
    other->show();

    EXPECT_FALSE(main->close());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(closed.empty());
    EXPECT_FALSE(Application().Terminated());

    EXPECT_TRUE(other->close()); // a secondary form only hides
    EXPECT_FALSE(other->isVisible());
    EXPECT_FALSE(Application().Terminated());

    allow = true;
    EXPECT_TRUE(main->close());
    EXPECT_EQ(closed, std::vector<QString>{"main"});
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(ApplicationTest, RunEndsWhenTheMainFormClosesAndDestroysFormsNewestFirst) {
    std::vector<QString> destroyed;
    Application().CreateForm<TProbeForm>([&](TProbeForm* f) {
        f->OnActivate = [f](QObject*) { f->close(); };
        f->OnDestroy = [&](QObject*) { destroyed.push_back("main"); };
    });
    Application().CreateForm<TProbeForm>(
        [&](TProbeForm* f) { f->OnDestroy = [&](QObject*) { destroyed.push_back("second"); }; });
    EXPECT_EQ(Application().Run(), 0);
    EXPECT_EQ(destroyed, (std::vector<QString>{"second", "main"}));
    EXPECT_TRUE(Application().Forms().empty());
}

TEST_F(ApplicationTest, HaltInsideAHandlerEndsRunWithItsCode) {
    Application().CreateForm<TProbeForm>(
        [](TProbeForm* f) { f->OnActivate = [](QObject*) { Application().Halt(3); }; });
    EXPECT_EQ(Application().Run(), 3);
}

// The real box (no hook): usable although its owner and every other form are disabled
// while it is up, and the forms are enabled again afterwards.
TEST_F(ApplicationTest, RealBoxIsUsableWhileTheFormsAreDisabled) {
    TMessageBoxHook saved = SetMessageBoxHook(nullptr);
    auto* main = Application().CreateForm<TProbeForm>();
    main->show();
    bool boxEnabled = false, mainEnabled = true;
    QString defaultText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        boxEnabled = box->isEnabled();
        mainEnabled = main->isEnabled();
        if (box->defaultButton())
            defaultText = box->defaultButton()->text();
        box->reject();
    });
    const int answer =
        Application().MessageBox(QStringLiteral("Save changes?"), QStringLiteral("Title"),
                                 MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION);
    SetMessageBoxHook(std::move(saved));
    EXPECT_TRUE(boxEnabled);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(main->isEnabled());
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_EQ(
        defaultText,
        QMessageBox(QMessageBox::NoIcon, {}, {}, QMessageBox::No).button(QMessageBox::No)->text());
}

// A text from a project or a file name is shown as it stands, never as markup: "<b>" in a
// file name must not vanish from the error that names the file.
TEST_F(ApplicationTest, RealBoxShowsItsTextAsPlainText) {
    TMessageBoxHook saved = SetMessageBoxHook(nullptr);
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        format = box->textFormat();
        shown = box->text();
        box->accept();
    });
    const QString text = QStringLiteral("<b>x</b>.exe could not be launched !");
    MessageBoxA(nullptr, text, QStringLiteral("Title"), MB_OK);
    SetMessageBoxHook(std::move(saved));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, text);
}

} // namespace
