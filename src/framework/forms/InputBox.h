#pragma once

#include <QString>
#include <functional>

// The framework's input box: a caption, a prompt, an edit that starts with the default text,
// OK and Cancel. Returns the text typed, or the default when the box is cancelled.
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultText);

// Who answers the input boxes instead of a person: tests and headless runs install one. Each
// call gets what the box would have shown and returns the text. Returns the previous hook.
using TInputBoxHook = std::function<QString(const QString& caption, const QString& prompt,
                                            const QString& defaultText)>;
TInputBoxHook SetInputBoxHook(TInputBoxHook hook);
