// The BUFR writer. The template's keys are set by name through ecCodes and
// the message is packed by it; nothing here knows a bit of the layout.
#include "exchange/export_bufr.h"

#include <eccodes.h>

#include <memory>
#include <vector>

#ifndef DROPFIX_VERSION
#define DROPFIX_VERSION "unknown"
#endif

namespace {

// Master table version the template is expanded with: 3 15 004 and 3 15 005
// are the same in every version from this one on.
constexpr long mastertables = 33;

// Code table 0 08 080: what a GTSPP flag qualifies.
constexpr long qualifiesdepth = 13, qualifiestemperature = 11;

// The limits of the template's elements (0 07 063: 20 bits in centimetres;
// 0 22 043: 15 bits in hundredths of a kelvin).
constexpr double maxdepth = 10485.74, maxkelvin = 327.66;

struct HandleDelete {
    void operator()(codes_handle* h) const { codes_handle_delete(h); }
};

class Bufr {
public:
    explicit Bufr(codes_handle* handle) : h(handle) {}
    bool ok() const { return err == 0; }
    std::string why() const { return step + ": " + codes_get_error_message(err); }
    void setlong(const char* key, long v) { check(key, codes_set_long(h, key, v)); }
    void setdouble(const char* key, double v) { check(key, codes_set_double(h, key, v)); }
    void setstring(const char* key, const std::string& v) {
        if (v.empty()) return;  // stays missing
        std::size_t len = v.size();
        check(key, codes_set_string(h, key, v.c_str(), &len));
    }
    void setlongs(const char* key, const std::vector<long>& v) {
        check(key, codes_set_long_array(h, key, v.data(), v.size()));
    }
    void setdoubles(const char* key, const std::vector<double>& v) {
        check(key, codes_set_double_array(h, key, v.data(), v.size()));
    }
    codes_handle* h;

private:
    void check(const char* key, int e) {
        if (err != 0 || e == 0) return;
        err = e;
        step = key;
    }
    int err = 0;
    std::string step;
};

}  // namespace

std::string bufrname(const std::string& cruise) {
    return cruise + ".bufr";
}

EncodedFile bufrmessage(const ExportedDrop& d) {
    EncodedFile out;
    const std::unique_ptr<codes_handle, HandleDelete> handle(codes_handle_new_from_samples(nullptr, "BUFR4"));
    if (!handle) {
        out.reason = "ecCodes has no BUFR4 sample (is libeccodes-data installed?)";
        return out;
    }
    Bufr b(handle.get());
    const std::size_t n = d.points.size();
    b.setlong("edition", 4);
    b.setlong("masterTableNumber", 0);
    // No centre of the WMO's list made the message; the sample's own centre
    // must not be claimed.
    b.setlong("bufrHeaderCentre", 65535);  // missing
    b.setlong("bufrHeaderSubCentre", 0);
    b.setlong("masterTablesVersionNumber", mastertables);
    b.setlong("localTablesVersionNumber", 0);
    b.setlong("dataCategory", 31);  // oceanographic data
    b.setlong("numberOfSubsets", 1);
    b.setlong("observedData", 1);
    b.setlong("compressedData", 0);
    if (d.time) {
        b.setlong("typicalYear", d.time->year);
        b.setlong("typicalMonth", d.time->month);
        b.setlong("typicalDay", d.time->day);
        b.setlong("typicalHour", d.time->hour);
        b.setlong("typicalMinute", d.time->minute);
        b.setlong("typicalSecond", d.time->second);
    }
    // The expansion makes a key for every element of every level, and by
    // default six more for its attributes (units, scale, width...), which
    // this writer never reads: leaving those out halves the time.
    b.setlong("skipExtraKeyAttributes", 1);
    b.setlong("inputExtendedDelayedDescriptorReplicationFactor", static_cast<long>(n));
    b.setlongs("unexpandedDescriptors", {315004});
    if (!b.ok()) {
        out.reason = "ecCodes cannot expand template 315004: " + b.why();
        return out;
    }

    b.setstring("shipOrMobileLandStationIdentifier", d.callsign.substr(0, 9));
    if (d.time) {
        b.setlong("year", d.time->year);
        b.setlong("month", d.time->month);
        b.setlong("day", d.time->day);
        b.setlong("hour", d.time->hour);
        b.setlong("minute", d.time->minute);
    }
    if (d.lat) b.setdouble("latitude", *d.lat);
    if (d.lon) b.setdouble("longitude", *d.lon);
    if (d.probe && *d.probe <= 1022)
        b.setlong("instrumentTypeForWaterTemperatureOrSalinityProfileMeasurement", *d.probe);
    if (d.recorder && *d.recorder <= 126) b.setlong("waterTemperatureProfileRecorderTypes", *d.recorder);
    b.setstring("#1#instrumentSerialNumberForWaterTemperatureProfile", d.serial.substr(0, 8));
    // Twelve characters: the blank goes first when the version is long.
    std::string software = std::string("dropfix ") + DROPFIX_VERSION;
    if (software.size() > 12) software = (std::string("dropfix") + DROPFIX_VERSION).substr(0, 12);
    b.setstring("softwareVersionNumber", software);
    b.setlong("indicatorForDigitization", 0);  // values at the depths the instrument gave

    // Each of these keys occurs once before the replication (the total
    // water depth's flag, the sea-surface temperature and its depth) and
    // then once or twice at every level: the arrays hold every occurrence.
    std::vector<double> depth(n + 1, CODES_MISSING_DOUBLE), kelvin(n + 1, CODES_MISSING_DOUBLE);
    std::vector<long> qualifier(2 * n + 2, CODES_MISSING_LONG), flag(2 * n + 1, CODES_MISSING_LONG);
    for (std::size_t i = 0; i < n; ++i) {
        const ExportPoint& p = d.points[i];
        const double k = double(p.t) + 273.15;
        if (p.depth >= 0 && p.depth <= maxdepth) depth[i + 1] = double(p.depth);
        if (k >= 0 && k <= maxkelvin) kelvin[i + 1] = k;
        qualifier[2 * i + 2] = qualifiesdepth;
        qualifier[2 * i + 3] = qualifiestemperature;
        flag[2 * i + 1] = d.bad ? 4 : 1;
        flag[2 * i + 2] = d.flag(p);
    }
    b.setdoubles("depthBelowWaterSurface", depth);
    b.setdoubles("oceanographicWaterTemperature", kelvin);
    b.setlongs("qualifierForGtsppQualityFlag", qualifier);
    b.setlongs("globalGtsppQualityFlag", flag);
    b.setlong("pack", 1);
    if (!b.ok()) {
        out.reason = "ecCodes cannot encode drop " + d.digits + ": " + b.why();
        return out;
    }
    const void* message = nullptr;
    std::size_t size = 0;
    if (const int e = codes_get_message(handle.get(), &message, &size); e != 0 || !message) {
        out.reason = std::string("ecCodes gives no message: ") + codes_get_error_message(e);
        return out;
    }
    out.bytes.assign(static_cast<const char*>(message), size);
    out.ok = true;
    return out;
}
