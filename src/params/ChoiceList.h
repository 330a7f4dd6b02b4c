#pragma once
#include <QString>
#include <QStringList>

// An ONLIST of the form [["开","关"],["01","00"]]: labels, then hex values.
struct ChoiceList {
    QStringList labels;
    QStringList values; // may be shorter than labels: those labels have no value

    // True when the text begins with "[[" (the editors' and the reader's test).
    static bool LooksLikeList(const QString &onList) { return onList.startsWith(QLatin1String("[[")); }
    // Throws DtuError when the text is not an array of two arrays of strings.
    static ChoiceList Parse(const QString &onList);

    // Index of the last label whose "HEX:"+value equals hexCell exactly; -1 if none.
    int LastMatch(const QString &hexCell) const;
    // Index of the first such label; -1 if none.
    int FirstMatch(const QString &hexCell) const;
};
