#include "editor/Dialogs.h"

#include "editor/EditorRules.h"
#include "framework/forms/Application.h"
#include "framework/forms/MessageBox.h"
#include "framework/forms/OpenDialog.h"
#include "platform/FileCopy.h"
#include "platform/Files.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>
#include <utility>

namespace Orvello {

namespace {

TDialogHook& hookSlot() {
    static TDialogHook hook;
    return hook;
}

// The extension a filter entry of one "*.ext" mask stands for; empty for any other.
QString singleExtension(const TFileFilterEntry& entry) {
    if (entry.Masks.size() != 1 || !entry.Masks[0].startsWith(QLatin1String("*.")))
        return QString();
    const QString ext = entry.Masks[0].mid(2);
    return ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')) ? QString() : ext;
}

struct NamedColor {
    const char* name;
    TColor color;
};
constexpr std::array<NamedColor, 16> kFontColors = {{
    {"Black", clBlack},
    {"Maroon", clMaroon},
    {"Green", clGreen},
    {"Olive", clOlive},
    {"Navy", clNavy},
    {"Purple", clPurple},
    {"Teal", clTeal},
    {"Gray", clGray},
    {"Silver", clSilver},
    {"Red", clRed},
    {"Lime", clLime},
    {"Yellow", clYellow},
    {"Blue", clBlue},
    {"Fuchsia", clFuchsia},
    {"Aqua", clAqua},
    {"White", clWhite},
}};

// A family as a project stores it: the name the font list shows, without the foundry by which
// it tells apart families of one name ("Nimbus Roman [urw]").
QString familyName(const QString& listed) {
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\]]*\\]\\s*$"));
    return QString(listed).remove(foundry).trimmed();
}

// A file dialog that refuses a name in a folder that does not exist, when the path must exist,
// and stays open for another.
class TFileDialog : public QFileDialog {
public:
    TFileDialog(QWidget* owner, const QString& title, bool pathMustExist)
        : QFileDialog(owner, title), pathMustExist_(pathMustExist) {}

    void accept() override {
        const QStringList files = selectedFiles();
        const QString folder = files.isEmpty() ? QString() : Files::ExtractFilePath(files[0]);
        if (pathMustExist_ && !folder.isEmpty() && !Files::DirectoryExists(folder)) {
            MessageBoxA(this,
                        Files::NativePath(files[0]) +
                            QStringLiteral("\r\nThe path does not exist.\r\nCheck the path and "
                                           "try again."),
                        windowTitle(), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        QFileDialog::accept();
    }

private:
    bool pathMustExist_;
};

} // namespace

TDialogHook SetDialogHook(TDialogHook hook) {
    return std::exchange(hookSlot(), std::move(hook));
}

TCommonDialog::TCommonDialog(QWidget* owner) : QObject(owner) {}

QWidget* TCommonDialog::Owner() const {
    return qobject_cast<QWidget*>(parent());
}

bool TCommonDialog::Execute() {
    if (hookSlot())
        return hookSlot()(*this);
    return Run();
}

TOpenDialog::TOpenDialog(QWidget* owner) : TCommonDialog(owner) {}

void TOpenDialog::Decorate(QObject*) {}

bool TOpenDialog::Run() {
    TFileDialog dialog(Owner(), Title, Options & ofPathMustExist);
    const std::vector<TFileFilterEntry> entries = FileFilterEntries(Filter);
    PrepareFileDialog(dialog, Filter, FilterIndex);
    const auto suffixFor = [&](const QString& nameFilter) {
        const int i = FileFilterIndexOf(Filter, nameFilter);
        const QString ext = i > 0 ? singleExtension(entries[size_t(i - 1)]) : QString();
        return ext.isEmpty() ? DefaultExt : ext;
    };
    dialog.setDefaultSuffix(suffixFor(dialog.selectedNameFilter()));
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&](const QString& f) { dialog.setDefaultSuffix(suffixFor(f)); });
    if (SaveMode) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode((Options & ofFileMustExist) ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    }
    const QString folder = Files::ExtractFilePath(FileName);
    dialog.setDirectory(Files::NativePath(folder.isEmpty() ? InitialDir : folder));
    if (!FileName.isEmpty())
        dialog.selectFile(ExtractFileName(FileName));
    Decorate(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().constFirst();
    if (const int chosen = FileFilterIndexOf(Filter, dialog.selectedNameFilter()))
        FilterIndex = chosen;
    return true;
}

TSaveDialog::TSaveDialog(QWidget* owner) : TOpenDialog(owner) {
    SaveMode = true;
}

TOpenPictureDialog::TOpenPictureDialog(QWidget* owner) : TOpenDialog(owner) {}

void TOpenPictureDialog::Decorate(QObject* object) {
    auto* dialog = qobject_cast<QFileDialog*>(object);
    auto* grid = dialog ? qobject_cast<QGridLayout*>(dialog->layout()) : nullptr;
    if (!grid)
        return;
    auto* preview = new QLabel(dialog);
    preview->setFixedSize(160, 160);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    // The preview takes its room beside the files, not from them.
    dialog->resize(dialog->width() + preview->width() + grid->horizontalSpacing(),
                   dialog->height());
    connect(dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        QImageReader reader(path);
        reader.setAllocationLimit(64);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > 156 || size.height() > 156))
            reader.setScaledSize(size.scaled(156, 156, Qt::KeepAspectRatio));
        const QImage image = reader.read();
        preview->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    });
}

TFontDialog::TFontDialog(QWidget* owner) : TCommonDialog(owner) {}

bool TFontDialog::Run() {
    QDialog dialog(Owner());
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* form = new QFormLayout;
    auto* family = new QFontComboBox(&dialog);
    family->setCurrentFont(QFont(Font.Name));
    // The project's own name stands in the box, installed here or not: the menu asks for it on
    // the machine it runs on.
    family->setEditText(Font.Name);
    auto* size = new QSpinBox(&dialog);
    size->setRange(1, 750);
    size->setValue(std::clamp(Font.Size, 1, 750));
    auto* color = new QComboBox(&dialog);
    for (const NamedColor& c : kFontColors)
        color->addItem(QLatin1String(c.name), c.color);
    int colorIndex = color->findData(Font.Color);
    if (colorIndex < 0) {
        color->addItem(QStringLiteral("Custom"), Font.Color);
        colorIndex = color->count() - 1;
    }
    color->setCurrentIndex(colorIndex);
    form->addRow(QStringLiteral("Font:"), family);
    form->addRow(QStringLiteral("Size:"), size);
    form->addRow(QStringLiteral("Color:"), color);
    const std::array<std::pair<const char*, bool*>, 4> styles = {{{"Bold", &Font.Bold},
                                                                  {"Italic", &Font.Italic},
                                                                  {"Underline", &Font.Underline},
                                                                  {"Strikeout", &Font.StrikeOut}}};
    std::array<QCheckBox*, 4> boxes{};
    for (size_t i = 0; i < styles.size(); ++i) {
        boxes[i] = new QCheckBox(QLatin1String(styles[i].first), &dialog);
        boxes[i]->setChecked(*styles[i].second);
        form->addRow(QString(), boxes[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (family->currentText() != Font.Name)
        Font.Name = familyName(family->currentText());
    Font.Size = size->value();
    Font.Color = color->currentData().toInt();
    for (size_t i = 0; i < styles.size(); ++i)
        *styles[i].second = boxes[i]->isChecked();
    return true;
}

TColorDialog::TColorDialog(QWidget* owner) : TCommonDialog(owner) {}

bool TColorDialog::Run() {
    const QColor chosen = QColorDialog::getColor(
        ColorToQColor(Color), Owner(), QStringLiteral("Color"), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return false;
    Color = QColorToColor(chosen);
    return true;
}

} // namespace Orvello
