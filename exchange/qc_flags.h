// The editor's QC classes on the flag scale that IMOS, GTSPP and Argo share
// (0 no QC, 1 good, 2 probably good, 3 probably bad, 4 bad, 5 value changed),
// which is what every exported format carries.
#pragma once
#include <cstdint>

// A point's flag from its class; a drop the operator marked bad is bad at
// every point whatever its classes say. Class 0 is "seen and kept" once the
// operator has stored the drop, so it reads as good.
std::int8_t gtsppflag(int qclass, bool dropbad);

// The class that a flag read back from an exported file stands for.
int classofflag(int flag);
