#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace orv {

// Splits a parameter text into words the way a POSIX shell splits the words of a simple
// command, and does nothing else: blanks (space, tab, newline) separate words; single quotes
// keep everything up to the next single quote; double quotes keep everything but a backslash
// before $ ` " \ or a newline; a backslash outside quotes keeps the next character; a
// backslash-newline joins lines. Nothing is expanded and nothing is an operator, so $ ` * ? ~
// ; | & < > ( ) # stay ordinary characters of their word.
// nullopt when a quote is left open, or when the text holds a NUL, which no program argument
// can carry.
std::optional<QStringList> splitArguments(const QString& text);

} // namespace orv
