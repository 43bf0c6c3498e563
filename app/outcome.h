// How a start-up step or a command ends: the program goes on, or it ends
// with an exit status that travels back up to main.
#pragma once

struct Outcome {
    bool end = false;
    int status = 0;

    static Outcome proceed() { return {}; }
    static Outcome exit(int status) { return {true, status}; }
    bool ends() const { return end; }
};
