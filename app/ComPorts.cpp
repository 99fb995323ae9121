#include "app/ComPorts.h"

#include <stdexcept>

void ComPortList::Replace(std::size_t index, ComPortEntry entry) {
    if (index >= entries_.size()) throw std::invalid_argument("COM port index out of range");
    entries_[index] = std::move(entry);
}

const ComPortEntry& ComPortList::At(std::size_t index) const {
    if (index >= entries_.size()) throw std::invalid_argument("COM port index out of range");
    return entries_[index];
}

void CompleteComPortNames(ComPortList& list) {
    for (std::size_t index = 0; index < list.Count(); ++index) {
        ComPortEntry entry = list.At(index);
        if (entry.friendlyName.empty()) entry.friendlyName = entry.portName;
        if (entry.portDescription.empty()) {
            entry.portDescription = entry.friendlyName;
            const std::size_t open = entry.portDescription.find(" (");
            const std::size_t close = entry.portDescription.find(')');
            if (open != std::string::npos && open > 0 &&
                close == entry.portDescription.size() - 1) {
                entry.portDescription.resize(open);
            }
        }
        list.Replace(index, std::move(entry));
    }
}
