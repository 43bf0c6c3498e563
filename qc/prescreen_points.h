// What the pre-screen's checks share: a drop's usable points and the way a
// finding is made. Internal to the pre-screen's source files.
#pragma once
#include <string>
#include <vector>

#include "qc/prescreen.h"

namespace prescreen_detail {

// The points the checks look at: finite, within tmin..tmax and each strictly
// deeper than the one before (a repeated or backward depth is skipped), so
// that every difference in depth is positive.
struct Points {
    std::vector<float> z;    // positive metres
    std::vector<float> t;    // degrees
    std::vector<int> point;  // the drop's point, 1-based
    float z1 = 0;            // depth of the drop's point 1, where a whole-profile code stands
    std::size_t size() const { return z.size(); }
};

Points usablepoints(const DropProfile& d, const Thresholds& th);
Points without(Points p, const std::vector<char>& drop);
void truncate(Points& p, std::size_t n);

#ifdef __GNUC__
std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
#else
std::string format(const char* f, ...);
#endif
Finding makefinding(int index, int point, float depth, std::string sentence);

// The checks on the drop alone; each appends its findings to out.
void outofrange(const DropProfile& d, const Thresholds& th, Points& p, std::vector<Finding>& out);
bool testprobe(const Points& p, const Thresholds& th, float& range);
// Marks the points of every spike; with out, also reports them.
std::vector<char> spikes(const Points& p, const Thresholds& th, std::vector<Finding>* out);
void surface(const Points& p, const Thresholds& th, std::vector<Finding>& out);
// Cuts p at the hit bottom it finds; returns whether there was one.
bool hitbottom(Points& p, const Thresholds& th, std::vector<Finding>* out);
void shortprofile(const Points& p, const Thresholds& th, std::vector<Finding>& out);

// The checks against the reference drop.
void againstreference(const Points& p, const DropProfile& ref, const Thresholds& th,
                      std::vector<Finding>& out);

}  // namespace prescreen_detail
