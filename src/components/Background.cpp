#include "components/Background.h"

#include "framework/Exceptions.h"
#include "framework/Form.h"

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
