#include "lon/Ft10.h"

namespace lon {

double Ft10TransactionSeconds(bool update, std::size_t valueBytes, std::size_t domainBytes) {
    // Priority byte, network header, subnet/node address (four bytes), the domain, and the
    // transport or session header.
    const std::size_t header = 1 + 1 + 4 + domainBytes + 1;
    if (update) {
        // Selector (two bytes) and value; the acknowledgement is the header alone.
        return Ft10FrameSeconds(header + 2 + valueBytes) + Ft10FrameSeconds(header);
    }
    // The fetch: code and index; its answer: code, index and value.
    return Ft10FrameSeconds(header + 2) + Ft10FrameSeconds(header + 2 + valueBytes);
}

}  // namespace lon
