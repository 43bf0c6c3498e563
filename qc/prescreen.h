// The pre-screen: automatic checks on a drop that suggest a code of the
// catalogue at a depth and say why, with the measured value and the
// threshold. A finding never changes the profile; it becomes a code only
// when the operator applies it through the QC dialog.
#pragma once
#include <string>
#include <vector>

#include "profile/profile_store.h"

// One suggestion for the operator.
struct Finding {
    int index = 0;         // catalogue index (1..23) the QC dialog chooses for it
    QcCode code;           // the code's two letters, as qccode gives them for index
    int iqc = 0;           // its class, as qccode gives it for index
    int point = 1;         // the point of the profile it marks (1-based; 1 for a surface code)
    float depth = 0;       // positive metres, the depth of that point
    std::string sentence;  // why, with the measured value and the threshold
};
