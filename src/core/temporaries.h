// How a save names the new file it writes beside the old one, ".<name>.<pid>.<count>", so
// that the next start can tell what a save cut short left from anything else.
#pragma once

#include <QByteArray>
#include <QList>

inline QByteArray TemporaryName(const QByteArray& name, qint64 pid, unsigned long count) {
    return "." + name + "." + QByteArray::number(pid) + "." + QByteArray::number(quint64(count));
}

inline bool IsTemporaryOf(const QByteArray& entry, const QByteArray& name) {
    const QByteArray prefix = "." + name + ".";
    if (!entry.startsWith(prefix)) return false;
    const QList<QByteArray> numbers = entry.mid(prefix.size()).split('.');
    if (numbers.size() != 2) return false;
    for (const QByteArray& number : numbers) {
        if (number.isEmpty()) return false;
        for (const char c : number)
            if (c < '0' || c > '9') return false;
    }
    return true;
}
