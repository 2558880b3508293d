// One character of a reading: which template the scan found, and where.
#pragma once

namespace engine {

struct ReadChar {
    int index = 0;        // of its template in the group
    long long left = 0;   // the scan position that found it
    long long column = 0; // the leftmost column of the area where it fits perfectly in its window
    int row = 0;          // the top row of that fit: the template's box is where it was read
};

} // namespace engine
