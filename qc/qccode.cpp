// The QC code catalogue look-up, the surface-code rule and the CS and PL
// explanatory boxes.
#include "qc/qccode.h"

#include <initializer_list>
#include <utility>

#include "toolkit/toolkit.h"

namespace {

// Each line is padded to the width the operator's box has always had, so
// the text stays byte for byte what the dialog showed before.
std::string joinPadded(std::initializer_list<std::pair<std::string_view, std::size_t>> lines) {
    std::string out;
    bool first = true;
    for (const auto& [text, width] : lines) {
        if (!first) out += '\r';
        first = false;
        out += text;
        if (text.size() < width) out.append(width - text.size(), ' ');
    }
    return out;
}

constexpr int kOkButton = 0, kExclamation = 3, kFirstDefault = 1;

}  // namespace

std::optional<QcCatalogueEntry> qcentry(int index) {
    if (index < 1 || index > nqccodes) return std::nullopt;
    return qccatalogue[static_cast<std::size_t>(index - 1)];
}

bool qccode(int index, int& isurface, int& iqc, QcCode& codey) {
    const auto e = qcentry(index);
    if (!e) return false;
    if (e->code == "CS") showcsinfo();
    if (e->code == "PL") showplinfo();
    isurface = e->isurface;
    iqc = e->iclass;
    codey = QcCode(e->code);
    return true;
}

bool issurfacecode(const QcCode& codey, int iqc) {
    for (std::string_view s : {"EF", "ST", "CS", "FS", "NG", "PL", "PS", "SA", "TP"}) {
        if (codey == s) return true;
    }
    return codey == "LE" && iqc == 2;
}

std::string csinfotitle() {
    return joinPadded({{" Surface Spike/Start-up transient info", 38}});
}

std::string csinfotext() {
    return joinPadded({
        {" CSA definition=\"remove all surface data to 3.9m depth", 54},
        {"  ZUL modifications for ZUL use:", 47},
        {"   Choose first \"good\" (depth,tem) pair", 47},
        {"   Program will fill tems to surface with first \"good\" tem", 58},
        {"   Are you sure it is not: real or SAA or PLA ?", 48},
    });
}

std::string plinfotitle() {
    return joinPadded({{" Premature Launch/false splash information", 43}});
}

std::string plinfotext() {
    return joinPadded({
        {" Use this only if you are SURE of false splash!", 47},
        {" Only one PL per profile.", 26},
        {" The temperature you select will move to surface depth.", 55},
        {" Additional QC codes must be done after PL.", 43},
    });
}

std::string surfacealerttext() {
    return joinPadded({
        {" Only one surface code per profile.", 54},
        {" If you want to overwrite it, exit QC popup", 47},
        {" then choose \"Redisplay/Restart\" tab.", 47},
        {"", 48},
    });
}

void showsurfacealert() {
    WMessageBox(kOkButton, kExclamation, kFirstDefault, surfacealerttext(), " Alert !");
}

void showcsinfo() {
    WMessageBox(kOkButton, kExclamation, kFirstDefault, csinfotext(), csinfotitle());
}
void showplinfo() {
    WMessageBox(kOkButton, kExclamation, kFirstDefault, plinfotext(), plinfotitle());
}
