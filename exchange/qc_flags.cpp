// Flag mapping between the editor's classes and the shared flag scale.
#include "exchange/qc_flags.h"

std::int8_t gtsppflag(int qclass, bool dropbad) {
    if (dropbad) return 4;
    if (qclass <= 1) return 1;
    if (qclass >= 5) return 5;
    return static_cast<std::int8_t>(qclass);
}

int classofflag(int flag) {
    if (flag <= 1) return 1;
    if (flag >= 5) return 5;
    return flag;
}
