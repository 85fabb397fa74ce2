#include "framework/forms/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    text_ = new QLineEdit(this);
    label->setBuddy(text_);
    wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    up_ = new QRadioButton(QStringLiteral("&Up"), direction);
    down_ = new QRadioButton(QStringLiteral("&Down"), direction);
    down_->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);
    findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
    findNext_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(text_, 0, 1, 1, 2);
    layout->addWidget(findNext_, 0, 3);
    auto* checks = new QVBoxLayout;
    checks->addWidget(wholeWord_);
    checks->addWidget(matchCase_);
    layout->addLayout(checks, 1, 0, 1, 2);
    layout->addWidget(direction, 1, 2);
    layout->addWidget(cancel, 1, 3, Qt::AlignTop);

    connect(text_, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
    connect(findNext_, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(cancel, &QPushButton::clicked, this, [this] { CloseDialog(); });
    UpdateButtons();
}

QString TFindDialog::FindText() const {
    return text_->text();
}

void TFindDialog::SetFindText(const QString& text) {
    text_->setText(text);
}

TFindOptions TFindDialog::Options() const {
    TFindOptions options = 0;
    if (down_->isChecked())
        options |= frDown;
    if (wholeWord_->isChecked())
        options |= frWholeWord;
    if (matchCase_->isChecked())
        options |= frMatchCase;
    return options;
}

void TFindDialog::SetOptions(TFindOptions options) {
    down_->setChecked(options & frDown);
    up_->setChecked(!(options & frDown));
    wholeWord_->setChecked(options & frWholeWord);
    matchCase_->setChecked(options & frMatchCase);
}

void TFindDialog::SetPosition(const QPoint& topLeft) {
    move(topLeft);
}

void TFindDialog::Execute() {
    show();
    raise();
    activateWindow();
    text_->setFocus();
    text_->selectAll();
}

void TFindDialog::CloseDialog() {
    hide();
}

void TFindDialog::FindNext() {
    // Nothing to look for finds nothing: the button stays off until there is a text.
    if (text_->text().isEmpty())
        return;
    if (OnFind)
        Application().SafeCall(this, [this] { OnFind(this); });
}

void TFindDialog::UpdateButtons() {
    findNext_->setEnabled(!text_->text().isEmpty());
}
