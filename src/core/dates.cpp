#include "core/dates.h"

QString FormatDate(const QDate& date) {
    return QString::asprintf("%02d/%02d/%04d", date.day(), date.month(), date.year());
}
