// The OCIDateTime and OCIInterval functions a client uses to build and read TIMESTAMP and
// INTERVAL DAY TO SECOND values, including the arithmetic Oracle's client layers use to turn a
// timestamp into milliseconds since 1970 and back.
#include "handles.h"

#include "time_zone.h"

#include <cstdlib>

ORAEMU_EXPORT sword OCIDateTimeConstruct(void* hndl, OCIError* err, OCIDateTime* datetime, sb2 yr, ub1 mnth, ub1 dy,
                                         ub1 hr, ub1 mm, ub1 ss, ub4 fsec, const OraText* timezone,
                                         size_t timezone_length);
ORAEMU_EXPORT sword OCIDateTimeGetDate(void* hndl, OCIError* err, const OCIDateTime* datetime, sb2* yr, ub1* mnth,
                                       ub1* dy);
ORAEMU_EXPORT sword OCIDateTimeGetTime(void* hndl, OCIError* err, OCIDateTime* datetime, ub1* hr, ub1* mm, ub1* ss,
                                       ub4* fsec);
ORAEMU_EXPORT sword OCIDateTimeGetTimeZoneOffset(void* hndl, OCIError* err, const OCIDateTime* datetime, sb1* hr,
                                                 sb1* mm);
ORAEMU_EXPORT sword OCIDateTimeSubtract(void* hndl, OCIError* err, OCIDateTime* indate1, OCIDateTime* indate2,
                                        OCIInterval* inter);
ORAEMU_EXPORT sword OCIDateTimeIntervalAdd(void* hndl, OCIError* err, OCIDateTime* datetime, OCIInterval* inter,
                                           OCIDateTime* outdatetime);
ORAEMU_EXPORT sword OCIIntervalGetDaySecond(void* hndl, OCIError* err, sb4* dy, sb4* hr, sb4* mm, sb4* ss, sb4* fsec,
                                            const OCIInterval* interval);
ORAEMU_EXPORT sword OCIIntervalSetDaySecond(void* hndl, OCIError* err, sb4 dy, sb4 hr, sb4 mm, sb4 ss, sb4 fsec,
                                            OCIInterval* interval);

namespace {

constexpr std::int64_t nanosPerSecond = 1000000000LL;

// The instant of a value in nanoseconds since 1970 UTC; a value without a zone counts as UTC.
std::int64_t instantOf(const OCIDateTime& datetime)
{
    const std::int64_t clock = oraemu::nanosSinceEpoch(datetime.value);
    return datetime.zoned() ? clock - datetime.value.offsetMinutes * 60 * nanosPerSecond : clock;
}

}  // namespace

sword OCIDateTimeConstruct(void* hndl, OCIError* err, OCIDateTime* datetime, sb2 yr, ub1 mnth, ub1 dy, ub1 hr,
                           ub1 mm, ub1 ss, ub4 fsec, const OraText* timezone, size_t timezone_length)
{
    if (!hndl || !ociemu::isDateTime(datetime))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        oraemu::DateTime value;
        value.year = yr;
        value.month = mnth;
        value.day = dy;
        value.hour = hr;
        value.minute = mm;
        value.second = ss;
        value.nanos = fsec;
        value.validate();
        if (fsec >= nanosPerSecond)
            throw oraemu::OraError(1880, "the fractional seconds must be between 0 and 999999999");
        if (datetime->zoned()) {
            const bool named = timezone && timezone_length > 0;
            value.offsetMinutes =
                named ? oraemu::parseTimeZone(std::string_view(reinterpret_cast<const char*>(timezone), timezone_length))
                      : oraemu::sessionTimeZoneAtLogon();
            value.offsetGiven = true;
        }
        datetime->value = value;
        return oci::SUCCESS;
    });
}

sword OCIDateTimeGetDate(void* hndl, OCIError* err, const OCIDateTime* datetime, sb2* yr, ub1* mnth, ub1* dy)
{
    if (!hndl || !ociemu::isDateTime(datetime))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        if (yr)
            *yr = static_cast<sb2>(datetime->value.year);
        if (mnth)
            *mnth = static_cast<ub1>(datetime->value.month);
        if (dy)
            *dy = static_cast<ub1>(datetime->value.day);
        return oci::SUCCESS;
    });
}

sword OCIDateTimeGetTime(void* hndl, OCIError* err, OCIDateTime* datetime, ub1* hr, ub1* mm, ub1* ss, ub4* fsec)
{
    if (!hndl || !ociemu::isDateTime(datetime))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        if (hr)
            *hr = static_cast<ub1>(datetime->value.hour);
        if (mm)
            *mm = static_cast<ub1>(datetime->value.minute);
        if (ss)
            *ss = static_cast<ub1>(datetime->value.second);
        if (fsec)
            *fsec = datetime->value.nanos;
        return oci::SUCCESS;
    });
}

sword OCIDateTimeGetTimeZoneOffset(void* hndl, OCIError* err, const OCIDateTime* datetime, sb1* hr, sb1* mm)
{
    if (!hndl || !ociemu::isDateTime(datetime))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        if (!datetime->zoned())
            throw oraemu::OraError(1891, "Datetime/Interval internal error");
        const int offset = datetime->value.offsetMinutes;
        if (hr)
            *hr = static_cast<sb1>(offset / 60);
        if (mm)
            *mm = static_cast<sb1>(offset % 60);
        return oci::SUCCESS;
    });
}

sword OCIDateTimeSubtract(void* hndl, OCIError* err, OCIDateTime* indate1, OCIDateTime* indate2, OCIInterval* inter)
{
    if (!hndl || !ociemu::isDateTime(indate1) || !ociemu::isDateTime(indate2) ||
        !ociemu::isHandle(inter, ociemu::DTYPE_INTERVAL_DS))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        inter->nanoseconds = instantOf(*indate1) - instantOf(*indate2);
        return oci::SUCCESS;
    });
}

// The result keeps the zone of the value the interval is added to.
sword OCIDateTimeIntervalAdd(void* hndl, OCIError* err, OCIDateTime* datetime, OCIInterval* inter,
                             OCIDateTime* outdatetime)
{
    if (!hndl || !ociemu::isDateTime(datetime) || !ociemu::isDateTime(outdatetime) ||
        !ociemu::isHandle(inter, ociemu::DTYPE_INTERVAL_DS))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        oraemu::DateTime sum =
            oraemu::fromNanosSinceEpoch(oraemu::nanosSinceEpoch(datetime->value) + inter->nanoseconds);
        sum.validate();
        sum.offsetMinutes = datetime->zoned() ? datetime->value.offsetMinutes : 0;
        sum.offsetGiven = outdatetime->zoned();
        outdatetime->value = sum;
        return oci::SUCCESS;
    });
}

sword OCIIntervalGetDaySecond(void* hndl, OCIError* err, sb4* dy, sb4* hr, sb4* mm, sb4* ss, sb4* fsec,
                              const OCIInterval* interval)
{
    if (!hndl || !ociemu::isHandle(interval, ociemu::DTYPE_INTERVAL_DS))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        // Every field carries the sign of the interval.
        const std::int64_t total = interval->nanoseconds;
        const std::int64_t magnitude = total < 0 ? -total : total;
        const sb4 sign = total < 0 ? -1 : 1;
        const std::int64_t seconds = magnitude / nanosPerSecond;
        if (dy)
            *dy = sign * static_cast<sb4>(seconds / 86400);
        if (hr)
            *hr = sign * static_cast<sb4>(seconds / 3600 % 24);
        if (mm)
            *mm = sign * static_cast<sb4>(seconds / 60 % 60);
        if (ss)
            *ss = sign * static_cast<sb4>(seconds % 60);
        if (fsec)
            *fsec = sign * static_cast<sb4>(magnitude % nanosPerSecond);
        return oci::SUCCESS;
    });
}

sword OCIIntervalSetDaySecond(void* hndl, OCIError* err, sb4 dy, sb4 hr, sb4 mm, sb4 ss, sb4 fsec,
                              OCIInterval* interval)
{
    if (!hndl || !ociemu::isHandle(interval, ociemu::DTYPE_INTERVAL_DS))
        return oci::INVALID_HANDLE;
    return ociemu::guarded(err, [&] {
        const std::int64_t seconds = dy * 86400LL + hr * 3600LL + mm * 60LL + ss;
        interval->nanoseconds = seconds * nanosPerSecond + fsec;
        return oci::SUCCESS;
    });
}
