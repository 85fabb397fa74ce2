#pragma once

#include "framework/data/DataSetTypes.h"

#include <QChar>
#include <functional>

class QKeyEvent;
class QObject;
class TFieldDataLink;

// The character a key press stands for in key-press events: Enter and Return as '\r',
// Escape as 27, Backspace as 8, else the typed character; 0 for keys that type nothing.
QChar KeyPressChar(const QKeyEvent* event);

// Fires a key-press event; true when the handler swallowed the key.
bool KeySwallowed(const TKeyPressEvent& handler, QObject* sender, QChar key);

// Connects a field control to its link: the field's value to show, the control's read-only
// state to follow the dataset, and the control's text to store. UnbindFieldControl cuts the
// connection before the control goes, so no late notice reaches a half-destroyed control.
void BindFieldControl(TFieldDataLink& link, std::function<void()> dataChange,
                      std::function<void()> updateReadOnly, std::function<void()> updateData);
void UnbindFieldControl(TFieldDataLink& link);

// Puts the dataset into edit mode for a change the user began in a field control; false when
// that is refused (the control then shows the field's value again) or fails (the error goes to
// the application's handler).
bool BeginFieldEdit(TFieldDataLink& link, QObject* control);

// Hands a field control's text to its field as the control loses the focus; false when the
// link is inactive or storing failed (the error goes to the application's handler, and the
// text stays marked modified, so the post that follows fails the same way).
bool StoreFieldText(TFieldDataLink& link, QObject* control);
