#include "components/Background.h"

#include "framework/data/Exceptions.h"
#include "framework/forms/Form.h"

TBackground::TBackground(QObject* owner) : QObject(owner) {}

void TBackground::SetPicture(const QImage& picture) {
    picture_ = picture.copy();
}

void TBackground::SetVisible(bool value) {
    visible_ = value;
    QObject* owner = parent();
    if (!owner)
        return;
    auto* form = qobject_cast<TForm*>(owner);
    if (!form)
        throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    form->update();
}
