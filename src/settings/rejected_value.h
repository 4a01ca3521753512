#pragma once

#include <QString>

namespace dovrelle {

// How an error message shows a value of a settings file that was rejected. A file whose line
// breaks were lost (lines separated by U+2028, say) puts every following line into one value,
// passwords included, so a rejected value is never shown whole:

// The first "key=" text of another setting (a settings key, or a table line "tables<n>=") that
// `value` holds, compared without regard to letter case as the reader finds keys; the empty
// text when it holds none. Such a value is not shown at all.
QString otherSettingTextIn(const QString& value);

// At most the first 40 characters of `value`, with "..." after a value that was cut and control
// characters escaped ("\n", "\x00"), between the doubled quotes the messages use: ''48167abc''.
QString quotedRejectedValue(const QString& value);

// "it is not shown, as it holds the text "<key>=" of another setting" for a value that holds
// another setting's text; the empty text otherwise.
QString hiddenValueNote(const QString& value);

}  // namespace dovrelle
