#include "player/AboutBox.h"

#include "framework/forms/CaptionColumn.h"
#include "framework/forms/Glyphs.h"
#include "platform/Shell.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>

bool TClickLabel::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    // Measured when asked: the text and the label's width are set in either order.
    if (fontMetrics().horizontalAdvance(text()) > contentsRect().width())
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), PlainToolTip(text()),
                           this);
    else
        QToolTip::hideText();
    return true;
}

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (OnClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        OnClick(this);
}

namespace {

QFont boxFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

QLabel* fixedLabel(QWidget* parent, int left, int top, int width, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(left, top, width, 13);
    return label;
}

TClickLabel* linkLabel(QWidget* parent, int top) {
    auto* label = new TClickLabel(parent);
    label->setGeometry(90, top, 175, 13);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = boxFont();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00)); // maroon
    label->setPalette(palette);
    return label;
}

} // namespace

TAbout::TAbout(QWidget* parent) : TForm(parent) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlag(Qt::Dialog);
    setFont(boxFont());
    setFixedSize(289, 228);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 289, 228);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1 = new QFrame(Panel1);
    Bevel1->setGeometry(9, 8, 271, 183);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Image1 = new QLabel(Panel1);
    Image1->setGeometry(129, 15, 32, 32);
    QLabel** lines[] = {&ALine1, &Aline2, &Aline3, &Aline4};
    for (int i = 0; i < 4; ++i) {
        *lines[i] = fixedLabel(Panel1, 24, 55 + 20 * i, 240);
        (*lines[i])->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    Bevel2 = new QFrame(Panel1);
    Bevel2->setGeometry(15, 133, 259, 7);
    Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    AWebText = fixedLabel(Panel1, 24, 148, 61, QStringLiteral("Homepage :"));
    AWeb = linkLabel(Panel1, 148);
    AWeb->OnClick = [this](QObject* sender) { AWebClick(sender); };
    AMailText = fixedLabel(Panel1, 24, 169, 61, QStringLiteral("Email adr. :"));
    AMail = linkLabel(Panel1, 169);
    AMail->OnClick = [this](QObject* sender) { AWebClick(sender); };
    BitBtn1 = new QPushButton(Panel1);
    BitBtn1->setGeometry(100, 197, 90, 25);
    BitBtn1->setIcon(GlyphIcon(TGlyph::Ok));
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(BitBtn1); });

    OnActivate = [this](QObject* sender) { FormActivate(sender); };
}

void TAbout::SetLinkCaptions(const QString& web, const QString& mail) {
    // The links end where they are designed to, and keep room for an address.
    FitCaptionColumn({24, 5, 90, 265, 120}, {{AWebText, AWeb}, {AMailText, AMail}}, {web, mail});
}

QPoint TAbout::Placement(QPoint clientTopLeft, QSize menuSize, int exitBtnWidth, QSize boxSize) {
    const int top = clientTopLeft.y() + (menuSize.height() - boxSize.height()) / 2;
    // A wide window keeps its button column free: the box centres over the part left of it.
    const int free = menuSize.width() >= 600
                         ? menuSize.width() - boxSize.width() - exitBtnWidth - 24
                         : menuSize.width() - boxSize.width();
    return {clientTopLeft.x() + free / 2, top};
}

void TAbout::FormActivate(QObject* /*sender*/) {
    QWidget* menu = MenuWindow ? MenuWindow : Application().MainForm();
    if (!menu || menu == this)
        return;
    QWidget* exitBtn = ExitBtn ? ExitBtn : menu->findChild<QWidget*>(QStringLiteral("ExitBtn"));
    // Both windows are measured with their frames, and the box is placed by its frame.
    const auto* menuForm = qobject_cast<const TForm*>(menu);
    const QSize menuSize =
        menuForm ? menu->size().grownBy(menuForm->FrameMargins()) : menu->frameGeometry().size();
    PlaceFrame([this, origin = menu->mapToGlobal(QPoint(0, 0)), menuSize,
                exitWidth = exitBtn ? exitBtn->width() : 0](const QMargins& frame) {
        return Placement(origin, menuSize, exitWidth, size().grownBy(frame));
    });
}

void TAbout::AWebClick(QObject* sender) {
    auto* label = qobject_cast<QLabel*>(sender);
    if (!label)
        return;
    const QString address = label->text();
    if (RunFile) {
        RunFile(address, QStringLiteral("."), QString());
        return;
    }
    if (address.isEmpty())
        return;
    if (ShellExecuteA(this, QString(), address, QString(), QString(), SW_SHOWNORMAL) <= 32)
        throw Exception(address + QStringLiteral(" could not be launched !"));
}

void TAbout::BitBtn1Click(QObject* /*sender*/) {
    close();
}

void TAbout::TakeApplicationIcon() {
    const QIcon icon =
        Application().Icon.isNull() ? QApplication::windowIcon() : Application().Icon;
    Image1->setPixmap(icon.pixmap(32, 32));
}
