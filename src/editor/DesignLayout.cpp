// The design window's frame and its first pages: banner, page control, buttons, status bar,
// Info, Background and Captions.
#include "components/Background.h"
#include "components/Gradient.h"
#include "components/Msg.h"
#include "editor/Artwork.h"
#include "editor/DesignWindow.h"
#include "editor/EditorControls.h"
#include "editor/HelpKeys.h"
#include "framework/forms/Controls.h"
#include "platform/Files.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTextEdit>

namespace Orvello {

namespace {

const int kClientWidth = 399;
const int kClientHeight = 388;
const int kBannerHeight = 78;
const int kButtonPanelHeight = 41;
const int kStatusBarHeight = 19;

QFont sansSerif() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

const char* const kIntroduction[] = {
    "Build autostart menus for your CD-ROMs: menus that",
    "launch programs, open media files, play sounds,",
    "show pictures, jump to web sites, browse folders,",
    "display documents, send e-mails and present the",
    "records of a dBase table. Start from a template or",
    "from a design of your own, and give every menu its",
    "own colours, pictures, captions and entries.",
    "",
    "Go through the pages, make your entries and save",
    "your work. Then press the button \"Create\" to build",
    "the menu and to test it.",
};

// The address the banner leads to on a double-click.
const QString kHomePage = QStringLiteral("http://www.tavolin.example/");

} // namespace

TEditorEnvironment TEditorEnvironment::FromProcess() {
    return {Files::ProgramFile(), Volumes::MountTable()};
}

TForm1::TForm1(TEditorEnvironment environment, QWidget* parent)
    : TForm(parent), environment_(std::move(environment)) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(sansSerif());
    setFixedSize(kClientWidth, kClientHeight);
    setWindowIcon(ProgramIcon());
    CenterOnScreen(this);

    Msg1 = new TMsg(this);
    Msg1->BoxButton = 1;
    Background1 = new TBackground(this);

    createFrame();
    createInfoPage();
    createBackgroundPage();
    createCaptionsPage();
    createLayoutPage();
    createMenuPage();
    createDatabasePage();
    createAboutPage();
    createHelpPage();
    createDialogs();
    watchProjectControls();

    OnCreate = [this](QObject* sender) { FormCreate(sender); };
    OnDestroy = [this](QObject* sender) { FormDestroy(sender); };
    OnCloseQuery = [this](QObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
}

TForm1::~TForm1() {
    delete helpKeys_;
    if (Application().OnHint)
        Application().OnHint = nullptr;
}

void TForm1::createFrame() {
    Panel1 = new TColorPanel(this);
    Panel1->setFrameStyle(QFrame::NoFrame);
    Panel1->setGeometry(0, 0, kClientWidth, kBannerHeight);
    Panel1->SetColor(clBlack);
    Panel1->OnDblClick = [this](QObject* sender) { Image1DblClick(sender); };
    Panel1->setCursor(Qt::PointingHandCursor);
    SetHint(Panel1, kHomePage);
    Image1 = new TImage(Panel1);
    Image1->setGeometry(0, 0, kBannerHeight, kBannerHeight);
    Image1->SetPicture(BannerDisc(kBannerHeight));
    Image2 = new TImage(Panel1);
    Image2->setGeometry(kBannerHeight + 4, 0, kClientWidth - kBannerHeight - 4, kBannerHeight);
    Image2->SetPicture(BannerTitle(Image2->width(), kBannerHeight));
    for (TImage* image : {Image1, Image2}) {
        image->setCursor(Qt::PointingHandCursor);
        SetHint(image, kHomePage);
        image->OnDblClick = [this](QObject* sender) { Image1DblClick(sender); };
    }

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(0, kBannerHeight, kClientWidth,
                              kClientHeight - kBannerHeight - kButtonPanelHeight -
                                  kStatusBarHeight);
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 3px; }"));
    struct Page {
        QWidget** sheet;
        const char* caption;
        int helpContext;
    };
    const Page pages[] = {{&TabSheet8, "Info", 15},    {&TabSheet3, "Background", 5},
                          {&TabSheet1, "Captions", 6}, {&TabSheet2, "Layout", 7},
                          {&TabSheet6, "Menu", 8},     {&TabSheet4, "Database", 9},
                          {&TabSheet5, "About", 10},   {&TabSheet7, "Help", 11}};
    for (const Page& page : pages) {
        *page.sheet = new QWidget;
        SetHelpContext(*page.sheet, page.helpContext);
        PageControl1->addTab(*page.sheet, QLatin1String(page.caption));
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        Application().SafeCall(PageControl1, [this] { PageControl1Change(PageControl1); });
    });

    Panel2 = new QFrame(this);
    Panel2->setGeometry(0, kClientHeight - kButtonPanelHeight - kStatusBarHeight, kClientWidth,
                        kButtonPanelHeight);
    struct Button {
        TBitBtn** button;
        const char* caption;
        const char* hint;
        QStyle::StandardPixmap glyph;
        void (TForm1::*handler)(QObject*);
    };
    const Button buttons[] = {
        {&BitBtn5, "&New", "Create a new project", QStyle::SP_FileIcon, &TForm1::BitBtn5Click},
        {&BitBtn4, "&Open ...", "Open existing project", QStyle::SP_DialogOpenButton,
         &TForm1::BitBtn4Click},
        {&BitBtn1, "&Save ...", "Save current project under a given name",
         QStyle::SP_DialogSaveButton, &TForm1::BitBtn1Click},
        {&BitBtn3, "&Create", "Create project and test it", QStyle::SP_MediaPlay,
         &TForm1::BitBtn3Click},
        {&BitBtn2, "&Exit", "Exit", QStyle::SP_DialogCloseButton, &TForm1::BitBtn2Click},
    };
    int x = 7;
    for (const Button& b : buttons) {
        auto* button = MakeButton<TBitBtn>(Panel2, QLatin1String(b.caption), {x, 8, 72, 25},
                                           QLatin1String(b.hint));
        button->setIcon(style()->standardIcon(b.glyph));
        button->OnClick = [this, handler = b.handler](QObject* sender) {
            (this->*handler)(sender);
        };
        button->OnEnter = [this](QObject* sender) { Panel2Enter(sender); };
        *b.button = button;
        x += 78;
    }

    StatusBar1 = new QLabel(this);
    StatusBar1->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
    StatusBar1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->setTextFormat(Qt::PlainText);
    StatusBar1->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TForm1::createInfoPage() {
    Memo1 = new QTextEdit(TabSheet8);
    Memo1->setGeometry(4, 4, 383, 166);
    Memo1->setLineWrapMode(QTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo1->setReadOnly(true);
    Memo1->setAcceptRichText(false);
    Memo1->viewport()->setCursor(Qt::ArrowCursor);
    Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
    SetColor(Memo1, clBlack);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Text, Qt::white);
    Memo1->setPalette(palette);
    QStringList lines;
    for (const char* line : kIntroduction)
        lines << QLatin1String(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    Memo1->selectAll();
    Memo1->setAlignment(Qt::AlignHCenter);
    Memo1->moveCursor(QTextCursor::Start);

    BitBtn10 = MakeButton<TBitBtn>(
        TabSheet8, QStringLiteral("Press F1 for context sensitive help !"), {70, 176, 251, 25});
    BitBtn10->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    BitBtn10->OnClick = [this](QObject* sender) { BitBtn10Click(sender); };
}

void TForm1::createBackgroundPage() {
    QWidget* page = TabSheet3;
    RadioButton1 = new TRadioButton(page);
    RadioButton1->setText(QStringLiteral("Gradient"));
    RadioButton1->setGeometry(8, 4, 120, 17);
    QFont bold = font();
    bold.setBold(true);
    RadioButton1->setFont(bold);
    MakeLabel(page, QStringLiteral("Style ............."), 8, 27);
    ComboBox3 = MakeDropDown(page, {QStringLiteral("vertical"), QStringLiteral("horizontal")},
                             {92, 24, 100, 20});
    MakeLabel(page, QStringLiteral("Start color ...."), 8, 49);
    ComboBox1 = MakeDropDown(page,
                             {"Aqua", "Blue", "Fuchsia", "Gray", "Green", "Lime", "Maroon", "Navy",
                              "Olive", "Purple", "Red", "Teal", "White", "Yellow"},
                             {92, 46, 100, 20});
    MakeLabel(page, QStringLiteral("End color ......"), 8, 71);
    ComboBox2 =
        MakeDropDown(page, {QStringLiteral("Black"), QStringLiteral("White")}, {92, 68, 100, 20});

    Panel3 = new QFrame(page);
    Panel3->setGeometry(204, 6, 91, 73);
    Panel3->setFrameStyle(QFrame::Box | QFrame::Plain);
    Gradient1 = new TGradient(Panel3);
    Gradient1->SetStartColor(scBlue);
    Gradient1->SetEndColor(ecBlack);
    Gradient1->SetStyle(gsHorizontal);
    Gradient1->SetDirection(gdDownRight);
    Gradient1->SetStepWidth(1);
    Gradient1->SetVisible(true);
    Image4 = new TImage(Panel3);
    Image4->setGeometry(Panel3->contentsRect());
    Image4->Stretch = true;
    Image4->SetTransparent(true);
    SetHint(Image4, QStringLiteral("Preview"));
    Image4->hide();

    MakeLabel(page, QStringLiteral("Icon"), 320, 4);
    Image3 = new TImage(page);
    Image3->setGeometry(316, 20, 32, 32);
    Image3->Stretch = true;
    Image3->SetTransparent(true);
    SetHint(Image3, QStringLiteral("Preview"));
    CheckBox2 =
        MakeCheckBox(page, QStringLiteral("Visible"), {304, 56, 82, 17}, QStringLiteral("Visible"));
    CheckBox2->setChecked(true);
    CheckBox1 = MakeCheckBox(page, QStringLiteral("Transp."), {304, 74, 82, 17},
                             QStringLiteral("Transparent"));
    CheckBox1->setChecked(true);

    RadioButton2 = new TRadioButton(page);
    RadioButton2->setText(QStringLiteral("Image"));
    RadioButton2->setGeometry(8, 96, 80, 17);
    RadioButton2->setFont(bold);
    BmpMode = MakeDropDown(page,
                           {QStringLiteral("Tiled"), QStringLiteral("Stretched"),
                            QStringLiteral("Centered"), QStringLiteral("Normal"),
                            QStringLiteral("Colored")},
                           {92, 94, 100, 20}, QStringLiteral("Select mode"));
    Panel4 = new TColorPanel(page);
    Panel4->setGeometry(198, 94, 20, 20);
    Panel4->SetCaption(QStringLiteral("C"));
    Panel4->SetColor(clBtnFace);
    SetHint(Panel4, QStringLiteral("Select base color"));
    ImageFile = MakeEdit(page, {8, 118, 290, 21}, QStringLiteral("Filepath or leave blank"));
    SpeedButton4 = MakeButton<TSpeedButton>(
        page, QStringLiteral("Select ..."), {304, 117, 80, 23},
        QStringLiteral("Select bitmap file (*.bmp)  -  H: 642 x W: 400 or it will be stretched"));

    MakeLabel(page, QStringLiteral("Icon"), 8, 149);
    IconFile = MakeEdit(page, {48, 146, 250, 21}, QStringLiteral("Filepath or leave blank"));
    SpeedButton8 =
        MakeButton<TSpeedButton>(page, QStringLiteral("Select ..."), {304, 145, 80, 23},
                                 QStringLiteral("Select icon file (*.ico) - H: 32 x W: 32"));

    MakeLabel(page, QStringLiteral("Sound"), 8, 177);
    CheckBox3 = MakeCheckBox(page, QStringLiteral("Play"), {48, 174, 60, 17});
    SoundFile = MakeEdit(page, {48, 194, 250, 21}, QStringLiteral("Filepath or leave blank"));
    SpeedButton12 = MakeButton<TSpeedButton>(page, QStringLiteral("Select ..."), {304, 193, 80, 23},
                                             QStringLiteral("Select sound file"));

    ComboBox1->OnChange = [this](QObject* sender) { ComboBox1Change(sender); };
    ComboBox2->OnChange = [this](QObject* sender) { ComboBox2Change(sender); };
    ComboBox3->OnChange = [this](QObject* sender) { ComboBox3Change(sender); };
    RadioButton1->OnClick = [this](QObject* sender) { RadioButton2Click(sender); };
    RadioButton2->OnClick = [this](QObject* sender) { RadioButton2Click(sender); };
    Panel4->OnClick = [this](QObject* sender) { Panel4Click(sender); };
    SpeedButton4->OnClick = [this](QObject* sender) { SpeedButton4Click(sender); };
    SpeedButton8->OnClick = [this](QObject* sender) { SpeedButton8Click(sender); };
    SpeedButton12->OnClick = [this](QObject* sender) { SpeedButton12Click(sender); };
    CheckBox1->OnClick = [this](QObject* sender) { CheckBox1Click(sender); };
    CheckBox2->OnClick = [this](QObject* sender) { CheckBox2Click(sender); };
}

void TForm1::createCaptionsPage() {
    QWidget* page = TabSheet1;
    MakeLabel(page, QStringLiteral("Application title"), 8, 7);
    Cap = MakeEdit(page, {108, 4, 276, 21}, QStringLiteral("Enter program name"));
    SetColor(Cap, clActiveCaption);
    QPalette palette = Cap->palette();
    palette.setColor(QPalette::Text, ColorToQColor(clCaptionText));
    Cap->setPalette(palette);
    QFont bold = font();
    bold.setBold(true);
    Cap->setFont(bold);

    CenterTitle = MakeCheckBox(page, QStringLiteral("Title       - center "), {8, 30, 200, 17});
    CenterTitle->setChecked(true);
    Title1 = MakeTitleEdit(page, {8, 48, 292, 45}, QStringLiteral("Enter main-title"));
    SetProjectFont(
        Title1, {QStringLiteral("Times New Roman"), 26, clWhite, true, true, true, false, false});
    SpeedButton1 = MakeButton<TSpeedButton>(page, QStringLiteral("Font"), {306, 58, 78, 23},
                                            QStringLiteral("Select font ..."));

    CenterSubTitle = MakeCheckBox(page, QStringLiteral("SubTitle - center"), {8, 98, 200, 17});
    CenterSubTitle->setChecked(true);
    Title2 =
        MakeTitleEdit(page, {8, 116, 292, 26},
                      QStringLiteral("Enter sub-title or text (max 255 chars; \\\\ = line break)"));
    // The limit holds for typing; a longer text read from a project stays whole.
    Title2->setValidator(new TTextLengthValidator(254, Title2));
    SetProjectFont(
        Title2, {QStringLiteral("Times New Roman"), 14, clWhite, true, true, true, false, false});
    SpeedButton2 = MakeButton<TSpeedButton>(page, QStringLiteral("Font"), {306, 117, 78, 23},
                                            QStringLiteral("Select font ..."));

    MakeLabel(page, QStringLiteral("Copyright"), 8, 150);
    Copyright = MakeEdit(page, {8, 166, 292, 21}, QStringLiteral("Enter copyright string"));
    SetProjectFont(Copyright,
                   {QStringLiteral("MS Sans Serif"), 8, clWhite, true, false, false, false, false});
    SpeedButton3 = MakeButton<TSpeedButton>(page, QStringLiteral("Font"), {306, 165, 78, 23},
                                            QStringLiteral("Select font ..."));
    SetColor(Title1, clBlue);
    SetColor(Title2, clBlue);
    SetColor(Copyright, clBlack);

    for (TSpeedButton* button : {SpeedButton1, SpeedButton2, SpeedButton3})
        button->OnClick = [this](QObject* sender) { SpeedButton1Click(sender); };
    CenterTitle->OnClick = [this](QObject*) { Title1->SetCentered(CenterTitle->isChecked()); };
    CenterSubTitle->OnClick = [this](QObject*) {
        Title2->SetCentered(CenterSubTitle->isChecked());
    };
}

} // namespace Orvello
