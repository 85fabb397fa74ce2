// The menu window's controls and their layout from the project file.
#include "components/Gradient.h"
#include "components/MediaFile.h"
#include "components/Msg.h"
#include "components/Surface.h"
#include "framework/forms/Colors.h"
#include "framework/forms/Glyphs.h"
#include "itemtable/Image.h"
#include "platform/Files.h"
#include "player/AboutBox.h"
#include "player/DataWindow.h"
#include "player/MenuControls.h"
#include "player/MenuWindow.h"
#include "storage/project/ProjectFile.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

#include <algorithm>

using namespace ProjectFile;

namespace {

// The window's outer size; its dialog frame takes 8 by 27 pixels of it (borders and caption),
// which leaves the client area of 642 by 400 that the controls are placed in.
const int kWindowWidth = 650;
const int kWindowHeight = 427;
const QSize kDialogFrame(8, 27);
const int kButtonLeft = 470;
const int kButtonWidth = 163;
const int kButtonHeight = 25;
// Height of the file list and offset of the whole column, by the number of buttons shown.
constexpr std::array<int, 8> kListHeight = {346, 312, 278, 261, 227, 193, 176, 142};
constexpr std::array<int, 8> kColumnOffset = {3, 4, 7, 1, 4, 6, 0, 3};
// The first entry row never lies lower than this, however tall the sub-title is.
const int kLowestEntryRow = 138;
const QString kAllGroups = QStringLiteral("* * *");
// The width the file list's folder is shortened to, in the label's font.
const QString kFolderWidthSample = QStringLiteral("1234567890123456789012345");

// Sizes are points at the 96 pixels per inch the window is designed for; a size far outside
// what a font can show is held within bounds, so that a project cannot make the window unusable.
int pixelsOfPoints(int points) {
    return int(std::clamp((qint64(points) * 96 + 36) / 72, qint64(1), qint64(1000)));
}
int pointsOfFont(const QFont& font) {
    if (font.pixelSize() > 0)
        return (font.pixelSize() * 72 + 48) / 96;
    return font.pointSize();
}

QFont sansSerif() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

void setTextColor(QWidget* widget, TColor color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ColorToQColor(color));
    widget->setPalette(palette);
}
TColor textColor(const QWidget* widget) {
    return QColorToColor(widget->palette().color(QPalette::WindowText));
}

TProjectFont fontOf(const QWidget* label) {
    TProjectFont font;
    font.Name = label->font().family();
    font.Size = pointsOfFont(label->font());
    font.Color = textColor(label);
    return font;
}

// The font keys build the style from scratch.
void applyFont(QWidget* label, const TProjectFont& value) {
    QFont font(value.Name);
    font.setPixelSize(value.Size > 0 ? pixelsOfPoints(value.Size) : label->font().pixelSize());
    font.setBold(value.Bold);
    font.setItalic(value.Italic);
    font.setUnderline(value.Underline);
    font.setStrikeOut(value.StrikeOut);
    label->setFont(font);
    setTextColor(label, value.Color);
}

TMenuLabel* titleLabel(QWidget* parent, int top, QMenu* popup) {
    auto* label = new TMenuLabel(parent);
    label->setGeometry(9, top, 287, 43);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(37);
    font.setBold(true);
    font.setItalic(true);
    label->setFont(font);
    setTextColor(label, clWhite);
    label->setWordWrap(true);
    label->SetPopupMenu(popup);
    return label;
}

// "\\" stands for a line break; in "\\\" only the first two backslashes form a pair.
QString lineBreaks(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size() &&
            text[i + 1] == QLatin1Char('\\')) {
            result += QLatin1String("\r\n");
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

// A label shows a CR LF line break as one line break.
void setCaption(QLabel* label, const QString& caption) {
    QString shown = caption;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    label->setText(shown);
}

// The desktop's icons and file types, and the volumes of the machine: those that the player
// was started with and those mounted since.
class TPlayerShellInfo : public IShellFileInfo {
public:
    explicit TPlayerShellInfo(std::vector<Volumes::MountEntry> known)
        : desktop_(DesktopShellInfo()), known_(std::move(known)) {}
    QIcon FileIcon(const QFileInfo& info) override { return desktop_->FileIcon(info); }
    QIcon DriveIcon(const QString& root) override { return desktop_->DriveIcon(root); }
    QString TypeName(const QFileInfo& info) override { return desktop_->TypeName(info); }
    std::vector<Volumes::MountEntry> MountTable() override {
        std::vector<Volumes::MountEntry> table = desktop_->MountTable();
        for (const Volumes::MountEntry& entry : known_)
            if (std::none_of(table.begin(), table.end(), [&](const Volumes::MountEntry& m) {
                    return m.mountPoint == entry.mountPoint;
                }))
                table.push_back(entry);
        return table;
    }

private:
    std::unique_ptr<IShellFileInfo> desktop_;
    std::vector<Volumes::MountEntry> known_;
};

} // namespace

void TForm1::createControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(sansSerif());
    resize(642, 400);

    WinSoftware = new QMenu(this);
    // A separator may stay last in the entries; the menu shows it as the project has it.
    WinSoftware->setSeparatorsCollapsible(false);
    PopupMenu1 = new QMenu(this);
    // Installs its own error handler; FormCreate replaces it with the window's.
    Msg1 = new TMsg(this);
    Msg1->BoxButton = 1;

    Surface1 = new TSurface(this);
    Surface1->SetMode(sfStreched);
    Surface1->SetVisible(false);
    Surface1->SetPopupMenu(WinSoftware);
    Gradient1 = new TGradient(this);
    Gradient1->SetDirection(gdDownRight);
    Gradient1->SetEndColor(ecBlack);
    Gradient1->SetStartColor(scBlue);
    Gradient1->SetStepWidth(1);
    Gradient1->SetStyle(gsVertical);
    Gradient1->SetVisible(false);
    Gradient1->SetPopupMenu(WinSoftware);

    Title1 = titleLabel(this, 9, WinSoftware);
    Copyright = new TMenuLabel(this);
    Copyright->move(54, 376);
    Copyright->setFont(sansSerif());
    setTextColor(Copyright, clWhite);

    struct ButtonDesign {
        TSpeedButton** button;
        const char* name;
        TGlyph glyph;
        void (TForm1::*handler)(QObject*);
    };
    const ButtonDesign buttons[] = {
        {&ExitBtn, "ExitBtn", TGlyph::Exit, &TForm1::ExitBtnClick},
        {&ActionBtn, "ActionBtn", TGlyph::Action, &TForm1::ActionBtnClick},
        {&TablesBtn, "TablesBtn", TGlyph::Tables, &TForm1::TablesBtnClick},
        {&FindBtn, "FindBtn", TGlyph::Find, &TForm1::FindBtnClick},
        {&HelpBtn, "HelpBtn", TGlyph::Help, &TForm1::HelpBtnClick},
        {&AboutBtn, "AboutBtn", TGlyph::About, &TForm1::AboutBtnClick},
        {&FileListBtn, "FileListBtn", TGlyph::FileList, &TForm1::FileListBtnClick},
    };
    for (const ButtonDesign& design : buttons) {
        auto* button = new TSpeedButton(this);
        button->setObjectName(QLatin1String(design.name));
        button->setGeometry(kButtonLeft, 0, kButtonWidth, kButtonHeight);
        button->setIcon(GlyphIcon(design.glyph));
        button->OnClick = [this, handler = design.handler](QObject* sender) {
            (this->*handler)(sender);
        };
        button->hide();
        *design.button = button;
    }

    Title2 = titleLabel(this, 54, WinSoftware);
    IconImage = new TMenuLabel(this);
    IconImage->setGeometry(9, 357, 32, 32);
    IconImage->setCursor(Qt::PointingHandCursor);
    IconImage->hide();
    IconImage->OnClick = [this](QObject* sender) { IconImageClick(sender); };
    Dummy = new TMenuLabel(this);
    Dummy->move(282, 381);
    Dummy->setText(QStringLiteral("Dummy"));
    Dummy->hide();

    Panel1 = new QFrame(this);
    Panel1->setGeometry(kButtonLeft, 228, kButtonWidth, 145);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    // Shown or not at the first activation, which gives the list its first folder.
    Panel1->hide();
    Label1 = new QLabel(Panel1);
    Label1->setGeometry(6, 7, 152, 13);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setTextFormat(Qt::PlainText);
    FileBox1 = new TFileBox(Panel1, std::make_unique<TPlayerShellInfo>(environment_.Mounts));
    FileBox1->setGeometry(5, 24, 152, 115);
    FileBox1->SetViewStyle(vsReport);
    FileBox1->SetShowColumnHeaders(false);
    FileBox1->setFont(sansSerif());
    FileBox1->SetDrive(QString());
    FileBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FileBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu1->popup(FileBox1->mapToGlobal(pos)); });
    FileBox1->OnChangeDir = [this](QObject* sender) { FileBox1ChangeDir(sender); };

    struct ItemDesign {
        QAction** item;
        const char* caption;
        void (TForm1::*handler)(QObject*);
    };
    const ItemDesign items[] = {
        {&Open1, "Open", &TForm1::Open1Click},       {&Copy1, "Copy", &TForm1::Copy1Click},
        {&Move1, "Move", &TForm1::Move1Click},       {&Delete1, "Delete", &TForm1::Delete1Click},
        {&Rename1, "Rename", &TForm1::Rename1Click}, {&Find1, "Find", &TForm1::FindBtnClick},
    };
    for (const ItemDesign& design : items) {
        QAction* item = PopupMenu1->addAction(QLatin1String(design.caption));
        connect(item, &QAction::triggered, this, [this, item, handler = design.handler] {
            Application().SafeCall(item, [&] { (this->*handler)(item); });
        });
        *design.item = item;
    }
    PopupMenu1->setDefaultAction(Open1);
}

void TForm1::currentValues(TProjectData& data) const {
    data.Title1Font = fontOf(Title1);
    data.Title2Font = fontOf(Title2);
    data.CopyrightFont = fontOf(Copyright);
    data.MenuFont = fontOf(Dummy);
    if (About) {
        data.AboutLines = {About->ALine1->text(), About->Aline2->text(), About->Aline3->text(),
                           About->Aline4->text()};
        data.WebText = About->AWebText->text();
        data.Web = About->AWeb->text();
        data.MailText = About->AMailText->text();
        data.Mail = About->AMail->text();
    }
}

bool TForm1::LoadProject(const QString& projectFile) {
    LayoutCursor = 11;
    if (About)
        About->TakeApplicationIcon();
    // The file is read once; its keys are then applied section by section.
    TProjectData data;
    currentValues(data);
    ReadProject(projectFile, data, TProjectKeyDefaults::Player());

    loadBackground(data);
    loadTitles(data);
    loadTable(data);
    const int n = placeButtons(data);

    // The file list fills the column below the buttons; the column's offset centres it.
    Panel1->move(Panel1->x(), LayoutCursor);
    FileBox1->resize(FileBox1->width(), kListHeight[n]);
    Panel1->resize(Panel1->width(), FileBox1->height() + Label1->height() + 16);
    for (TSpeedButton* button :
         {ExitBtn, ActionBtn, TablesBtn, FindBtn, HelpBtn, AboutBtn, FileListBtn})
        if (!button->isHidden())
            button->move(button->x(), button->y() + kColumnOffset[n]);
    Panel1->move(Panel1->x(), Panel1->y() + kColumnOffset[n]);

    ListViewOptions = {};
    if (data.ListIcons)
        ListViewOptions |= fbShowIcons;
    if (data.ListExecute)
        ListViewOptions |= fbOpenFile;
    if (data.ListBrowsing)
        ListViewOptions |= TViewOptions(fbShowFolders) | fbChangeDir;
    ListColor = data.ListBackColor;
    ListTextColor = data.ListTextColor;

    const int width =
        n > 0 || ListVisibleAtStart ? kWindowWidth : kWindowWidth - ExitBtn->width() - 16;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, kWindowWidth, kWindowHeight);
    // Its size at once with its place: nothing is painted before the layout is done. The
    // whole window, frame and all, is centred; until it has its frame it is taken to get
    // the dialog frame it is designed with. What the window system reports of the window's
    // size may still be its parked one while the frame settles: the size given counts.
    const QSize client(width - kDialogFrame.width(), kWindowHeight - kDialogFrame.height());
    setFixedSize(client);
    PlaceFrame([area, client, designed = QSize(width, kWindowHeight)](const QMargins& frame) {
        const QSize outer = frame.isNull() ? designed : client.grownBy(frame);
        return area.topLeft() +
               QPoint((area.width() - outer.width()) / 2, (area.height() - outer.height()) / 2);
    });

    loadAbout(data);
    loadCaptions(data);
    loadTools(data);
    loadEntries(data);
    project_ = std::make_unique<TProjectData>(std::move(data));
    if (Data)
        setUpDataWindow(*project_);
    return true;
}

void TForm1::loadBackground(const TProjectData& data) {
    if (data.GradientActive) {
        Gradient1->SetStyle(data.GradientStyle == 0 ? gsVertical : gsHorizontal);
        // A colour outside the tables takes the key's default.
        const int start = data.GradientStartColor;
        Gradient1->SetStartColor(start >= scAqua && start <= scYellow ? TStartColor(start)
                                                                      : scAqua);
        Gradient1->SetEndColor(data.GradientEndColor == 1 ? ecWhite : ecBlack);
        Gradient1->SetVisible(true);
    } else {
        Gradient1->SetVisible(false);
    }

    if (data.ImageActive) {
        constexpr std::array<TMode, 5> modes = {sfTiled, sfStreched, sfCentered, sfNormal,
                                                sfColored};
        const int mode = data.ImageMode;
        Surface1->SetMode(mode >= 0 && mode < int(modes.size()) ? modes[mode] : sfTiled);
        Surface1->SetColor(data.ImageBaseColor);
        if (!data.ImageFile.isEmpty()) {
            const QString path = BaseFolder + Files::ExtractFileName(data.ImageFile);
            if (Files::FileExists(path))
                reportLater(
                    [&] { Surface1->SetBitmap(LoadPictureFile(path, QStringLiteral("Bitmap"))); });
        }
        Surface1->SetVisible(true);
    }

    if (data.IconActive) {
        const QString path = data.IconFile.isEmpty()
                                 ? QString()
                                 : BaseFolder + Files::ExtractFileName(data.IconFile);
        QImage icon;
        if (Files::FileExists(path))
            reportLater([&] { icon = LoadPictureFile(path, QStringLiteral("Icon")); });
        if (!icon.isNull()) {
            IconImage->setPixmap(QPixmap::fromImage(
                icon.scaled(IconImage->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
            IconImage->setAttribute(Qt::WA_TranslucentBackground, data.IconTransparent);
            Application().Icon = QIcon(QPixmap::fromImage(icon));
            QApplication::setWindowIcon(Application().Icon);
            if (About)
                About->TakeApplicationIcon();
            IconImage->show();
        }
    }

    // The sound starts once the window stands laid out (StartSound): opening a media file
    // takes longer than anything the window shows needs.
    if (data.SoundActive && !data.SoundFile.isEmpty())
        SoundFilePath = BaseFolder + Files::ExtractFileName(data.SoundFile);
}

void TForm1::loadTitles(const TProjectData& data) {
    Application().Title = data.AppTitle;
    // Given no caption at all, the window system would show the program's name instead.
    setWindowTitle(data.AppTitle.isEmpty() ? QStringLiteral(" ") : data.AppTitle);
    setCaption(Title1, data.Title1);
    setCaption(Title2, lineBreaks(data.Title2));
    setCaption(Copyright, data.Copyright);

    const std::pair<TMenuLabel*, const TProjectFont*> fonts[] = {
        {Title1, &data.Title1Font}, {Title2, &data.Title2Font}, {Copyright, &data.CopyrightFont}};
    for (const auto& [label, font] : fonts) {
        applyFont(label, *font);
        if (label != Copyright) {
            if (!font->Centered)
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->resize(444, label->height());
        }
        label->AdjustBounds();
    }
    Copyright->move(IconImage->isHidden() ? IconImage->x()
                                          : IconImage->x() + IconImage->width() + 8,
                    Copyright->y());
}

void TForm1::loadTable(const TProjectData& data) {
    DbActive = data.DbActive;
    DbEditable = data.DbEditable;
    TableFileName = data.DbName;
    if (!DbActive || TableFileName.isEmpty() || !Files::FileExists(BaseFolder + TableFileName))
        DbActive = false;
}

void TForm1::setUpDataWindow(const TProjectData& data) {
    Data->setWindowTitle(data.DbTitle);
    Data->SpeedButton2->setText(CaptionTexts[0]);
    Data->SpeedButton1->setText(CaptionTexts[1]);
    Data->FindBtn->setText(CaptionTexts[5]);
    Data->CloseBtn->setText(CaptionTexts[8]);
    Data->SetPreviewHint(CaptionTexts[9]);
    Data->SetFileRowCaptions(CaptionTexts[11], CaptionTexts[12]);
    if (!DbActive)
        return;

    Data->Groups->clear();
    const int groups = GroupCount(data);
    for (int i = 0; i < groups; ++i) {
        Data->Groups->addItem(data.Groups[i].Title);
        Data->GroupIdentifiers[i] = data.Groups[i].Identifier;
    }
    Data->Groups->addItem(kAllGroups);
    Data->GroupIdentifiers[groups] = kAllGroups;

    Data->CloseTable();
    Data->SetTableEditable(!CdMode && DbEditable);
    Data->SetTableFile(BaseFolder + TableFileName, BaseFolder);
    Data->Groups->setCurrentIndex(0);
    reportLater([this] { Data->GroupsChange(Data->Groups); });
}

void TForm1::reportLater(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        startErrors_.push_back(std::current_exception());
    }
}

int TForm1::placeButtons(const TProjectData& data) {
    int n = 0;
    auto place = [&](TSpeedButton* button, const QString& caption) {
        button->setText(caption);
        button->move(button->x(), LayoutCursor);
        LayoutCursor += button->height() + 4;
        ++n;
        button->show();
    };
    for (TSpeedButton* button :
         {ExitBtn, ActionBtn, TablesBtn, FindBtn, HelpBtn, AboutBtn, FileListBtn})
        button->hide();

    auto shown = [&](TProjectButton b) { return data.Buttons[b].On; };
    if (shown(pbExit))
        place(ExitBtn, data.Buttons[pbExit].Text);
    if (shown(pbAction))
        place(ActionBtn, data.Buttons[pbAction].Text);
    if (DbActive && shown(pbTables))
        place(TablesBtn, data.Buttons[pbTables].Text);
    if (shown(pbFind))
        place(FindBtn, data.Buttons[pbFind].Text);

    HelpFilePath =
        data.HelpFile.isEmpty() ? QString() : BaseFolder + Files::ExtractFileName(data.HelpFile);
    if (!data.RightClick) {
        Gradient1->SetPopupMenu(nullptr);
        Surface1->SetPopupMenu(nullptr);
        Title1->SetPopupMenu(nullptr);
        Title2->SetPopupMenu(nullptr);
    }
    if (shown(pbHelp) && !HelpFilePath.isEmpty())
        place(HelpBtn, data.Buttons[pbHelp].Text);
    if (About)
        About->setWindowTitle(data.Buttons[pbAbout].Text);
    if (shown(pbAbout))
        place(AboutBtn, data.Buttons[pbAbout].Text);
    ListVisibleAtStart = data.ListVisible;
    if (shown(pbFileList))
        place(FileListBtn, data.Buttons[pbFileList].Text);
    return n;
}

void TForm1::loadAbout(const TProjectData& data) {
    if (!About)
        return;
    QLabel* lines[] = {About->ALine1, About->Aline2, About->Aline3, About->Aline4};
    for (QLabel* label :
         {lines[0], lines[1], lines[2], lines[3], About->AWebText,
          static_cast<QLabel*>(About->AWeb), About->AMailText, static_cast<QLabel*>(About->AMail)})
        label->setTextFormat(Qt::PlainText);
    for (int i = 0; i < 4; ++i)
        lines[i]->setText(data.AboutLines[i]);
    if (data.Web.isEmpty())
        About->AWeb->OnClick = nullptr;
    About->AWeb->setText(data.Web);
    if (!data.Mail.isEmpty()) {
        About->AMail->setText(QStringLiteral("mailto:") + data.Mail);
    } else {
        About->AMail->clear();
        About->AMail->OnClick = nullptr;
    }
    About->SetLinkCaptions(data.Web.isEmpty() ? QString() : data.WebText,
                           data.Mail.isEmpty() ? QString() : data.MailText);
}

void TForm1::loadCaptions(const TProjectData& data) {
    CaptionTexts = data.Captions.mid(0, CaptionRows);
    const QList<QAction*> items = PopupMenu1->actions();
    for (int row = 0; row <= 5 && row < items.size(); ++row)
        items[row]->setText(CaptionTexts[row]);
    if (About)
        About->BitBtn1->setText(CaptionTexts[8]);
}

void TForm1::loadTools(const TProjectData& data) {
    auto addTool = [this](const QString& caption, void (TForm1::*handler)(QObject*)) {
        QAction* item = WinSoftware->addAction(caption);
        connect(item, &QAction::triggered, this, [this, item, handler] {
            Application().SafeCall(item, [&] { (this->*handler)(item); });
        });
    };
    if (data.Tools[ptExplorer].On)
        addTool(data.Tools[ptExplorer].Text, &TForm1::ExplorerClick);
    if (data.Tools[ptMSInfo].On) {
        addTool(data.Tools[ptMSInfo].Text, &TForm1::MSInfoClick);
        if (data.Tools[ptSoftware].On)
            addTool(data.Tools[ptSoftware].Text, &TForm1::SoftwareClick);
    }
}

void TForm1::loadEntries(const TProjectData& data) {
    const int count = int(std::min<qsizetype>(data.Entries.size(), EntryLabels.size()));
    if (!WinSoftware->actions().isEmpty() && count > 0)
        WinSoftware->addSeparator();
    LayoutCursor = std::min(Title2->y() + Title2->height() + 38, kLowestEntryRow);
    Dummy->move(Title2->x() + 38, Dummy->y());
    applyFont(Dummy, data.MenuFont);

    int sinceSeparator = 0;
    for (int i = 0; i < count; ++i) {
        const TMenuEntry& entry = data.Entries[i];
        // An empty caption stands for a separator, and so does a caption "-".
        const QString caption = entry.Caption.isEmpty() ? QStringLiteral("-") : entry.Caption;
        const bool separator = caption == QLatin1String("-");
        if (!entry.Caption.isEmpty()) {
            QAction* item = new QAction(caption, WinSoftware);
            item->setSeparator(separator);
            SetTag(item, 1000 + i);
            connect(item, &QAction::triggered, this,
                    [this, item] { Application().SafeCall(item, [&] { OwnSoftClick(item); }); });
            WinSoftware->addAction(item);
            ++sinceSeparator;
        } else {
            if (sinceSeparator > 0)
                WinSoftware->addSeparator();
            sinceSeparator = 0;
        }

        EntryNames << entry.Name;
        EntryPaths << entry.Path;
        EntryParams << entry.Param;
        EntryExitFlags << entry.Exit;
        EntryPopupFlags << entry.Item;

        auto* label = new TMenuLabel(this);
        EntryLabels[i] = label;
        label->setFont(Dummy->font());
        label->setPalette(Dummy->palette());
        label->move(Dummy->x(), LayoutCursor);
        const bool popupOnly = entry.Item == QLatin1String("1");
        if (!separator && !popupOnly) {
            label->setText(QChar(0xB7) + QStringLiteral("  ") + caption);
            label->OnClick = [this](QObject* sender) { OwnSoftClick(sender); };
            label->setCursor(Qt::PointingHandCursor);
            SetTag(label, 1000 + i);
        }
        label->AdjustBounds();
        label->show();
        label->raise();
        if (!popupOnly)
            LayoutCursor += label->height() + 6;
    }
}

void TForm1::FileBox1ChangeDir(QObject*) {
    // The room of 25 digits in the label's font, but never more than the label has.
    const QFontMetrics metrics = Label1->fontMetrics();
    const int room =
        std::min(metrics.horizontalAdvance(kFolderWidthSample), Label1->contentsRect().width());
    QString shown = MinimizeName(FileBox1->Directory(), metrics, room);
    // A folder whose own name is too long loses its end.
    if (metrics.horizontalAdvance(shown) > room)
        shown = metrics.elidedText(shown, Qt::ElideRight, room);
    Label1->setText(shown);
}

QString TForm1::MinimizeName(const QString& path, const QFontMetrics& metrics, int maxWidth) {
    auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= maxWidth; };
    if (fits(path))
        return path;
    // Drive, folders with their separators, and the last name; the folders give way first.
    const QChar sep = path.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
    QString drive;
    if (path.size() >= 2 && path[1] == QLatin1Char(':'))
        drive = path.left(2);
    const qsizetype lastSep = path.lastIndexOf(sep);
    QString dir =
        lastSep >= drive.size() ? path.mid(drive.size(), lastSep + 1 - drive.size()) : QString();
    const QString name = path.mid(std::max<qsizetype>(lastSep + 1, drive.size()));
    const QString dots = QStringLiteral("...") + sep;
    const QString rootDots = sep + dots;

    QString result = drive + dir + name;
    while ((!dir.isEmpty() || !drive.isEmpty()) && !fits(result)) {
        if (dir == rootDots) {
            drive.clear();
            dir = dots;
        } else if (dir.isEmpty()) {
            drive.clear();
        } else {
            // Cuts the first folder: "\a\b\" gives "\...\b\", "...\b\" gives "...\".
            const bool root = dir.startsWith(sep);
            QString rest = root ? dir.mid(1) : dir;
            if (rest.startsWith(dots))
                rest = rest.mid(dots.size());
            const qsizetype cut = rest.indexOf(sep);
            rest = cut < 0 ? QString() : dots + rest.mid(cut + 1);
            dir = root && dir != sep ? sep + rest : rest;
        }
        result = drive + dir + name;
    }
    return result;
}
