// The one conversion between file bytes (Windows-1252, one byte per character) and
// on-screen text. Every byte maps to a character and back, so any file round-trips.
#pragma once

#include <QByteArray>
#include <QString>

QString FromWin1252(const QByteArray& bytes);
// Characters outside the code page become '?'.
QByteArray ToWin1252(const QString& text);
// The code of one character; -1 when the code page lacks it.
int Win1252Code(QChar c);
