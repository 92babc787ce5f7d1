#pragma once

#include <QStringView>

namespace tastalo {

// The text without the blanks (spaces and tabs) around it, as settings files
// and typed numbers are read.
inline QStringView senzaBlank(QStringView testo) {
    qsizetype da = 0;
    qsizetype a = testo.size();
    while (da < a && (testo[da] == u' ' || testo[da] == u'\t')) ++da;
    while (a > da && (testo[a - 1] == u' ' || testo[a - 1] == u'\t')) --a;
    return testo.sliced(da, a - da);
}

}  // namespace tastalo
