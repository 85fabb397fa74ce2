#pragma once

#include "framework/DataSetTypes.h"

#include <QChar>

class QKeyEvent;

// The character a key press stands for in key-press events: Enter and Return as '\r',
// Escape as 27, Backspace as 8, else the typed character; 0 for keys that type nothing.
QChar KeyPressChar(const QKeyEvent* event);

// Fires a key-press event; true when the handler swallowed the key.
bool KeySwallowed(const TKeyPressEvent& handler, QObject* sender, QChar key);
