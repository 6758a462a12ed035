// The one table between the record's fields and vCard properties, shared by
// the reader and the writer.
#pragma once

#include <cstddef>
#include <vector>

namespace vcardmap {

enum ValueKind {
    VK_TEXT,  // one text
    VK_LIST,  // a comma list, held in the record as "a, b"
    VK_DATE,  // a date or date-time
    VK_INT,   // a whole number, written only when not 0
};

struct FieldMap {
    int nField;
    const char* szProp30;  // property written in vCard 3.0
    const char* szProp40;  // property written in vCard 4.0
    const char* szTypes;   // TYPE values written, upper case, or none; 4.0 writes them in
                           // lower case, PREF as PREF=1, and leaves out INTERNET
    int nKind;             // ValueKind
    int nPart;             // component of a structured value (N, ADR, ORG), or -1
    int nPrevSlot;         // the field a reader fills before this one from the same kind
                           // of property (Home Phone before Home Phone 2), or 0
};

// Every field of the record, in the order the writer writes them.
const FieldMap* Rows(size_t* pCount);

// The row of a field, or none.
const FieldMap* RowOf(int nField);

// The rows that share one property with the row of nKeyField (the five parts
// of one address, the two of ORG), in table order; just that row for a
// property of one field; empty for an unknown field.
const std::vector<const FieldMap*>& SlotRows(int nKeyField);

}  // namespace vcardmap
