#include "common/vcard/VCardMap.h"

#include <cstring>

#include "common/model/CommAddr.h"

namespace vcardmap {

namespace {

// Fields without a standard property get an X-PELLMARK- property, so that a
// file written here reads back to the same record.
const FieldMap kRows[] = {
    {3, "N", "N", nullptr, VK_TEXT, 0, 0},
    {1, "N", "N", nullptr, VK_TEXT, 1, 0},
    {2, "N", "N", nullptr, VK_TEXT, 2, 0},
    {4, "N", "N", nullptr, VK_TEXT, 3, 0},
    {5, "N", "N", nullptr, VK_TEXT, 4, 0},
    {7, "FN", "FN", nullptr, VK_TEXT, -1, 0},
    {6, "NICKNAME", "NICKNAME", nullptr, VK_LIST, -1, 0},
    {8, "X-PELLMARK-GENDER", "X-PELLMARK-GENDER", nullptr, VK_INT, -1, 0},
    {53, "ORG", "ORG", nullptr, VK_TEXT, 0, 0},
    {54, "ORG", "ORG", nullptr, VK_TEXT, 1, 0},
    {55, "TITLE", "TITLE", nullptr, VK_TEXT, -1, 0},
    {63, "ROLE", "ROLE", nullptr, VK_TEXT, -1, 0},
    // ADR parts: post office box; extended address; street; locality; region; code; country.
    {9, "ADR", "ADR", "WORK", VK_TEXT, 2, 0},
    {10, "ADR", "ADR", "WORK", VK_TEXT, 3, 0},
    {11, "ADR", "ADR", "WORK", VK_TEXT, 4, 0},
    {12, "ADR", "ADR", "WORK", VK_TEXT, 5, 0},
    {13, "ADR", "ADR", "WORK", VK_TEXT, 6, 0},
    {14, "ADR", "ADR", "HOME", VK_TEXT, 2, 0},
    {15, "ADR", "ADR", "HOME", VK_TEXT, 3, 0},
    {16, "ADR", "ADR", "HOME", VK_TEXT, 4, 0},
    {17, "ADR", "ADR", "HOME", VK_TEXT, 5, 0},
    {18, "ADR", "ADR", "HOME", VK_TEXT, 6, 0},
    {19, "ADR", "ADR", "OTHER", VK_TEXT, 2, 0},
    {20, "ADR", "ADR", "OTHER", VK_TEXT, 3, 0},
    {21, "ADR", "ADR", "OTHER", VK_TEXT, 4, 0},
    {22, "ADR", "ADR", "OTHER", VK_TEXT, 5, 0},
    {23, "ADR", "ADR", "OTHER", VK_TEXT, 6, 0},
    {28, "TEL", "TEL", "PREF,VOICE", VK_TEXT, -1, 0},
    {24, "TEL", "TEL", "HOME,VOICE", VK_TEXT, -1, 0},
    {33, "TEL", "TEL", "HOME,VOICE", VK_TEXT, -1, 24},
    {25, "TEL", "TEL", "WORK,VOICE", VK_TEXT, -1, 0},
    {32, "TEL", "TEL", "WORK,VOICE", VK_TEXT, -1, 25},
    {26, "TEL", "TEL", "CELL", VK_TEXT, -1, 0},
    {27, "TEL", "TEL", "VOICE", VK_TEXT, -1, 0},
    {29, "TEL", "TEL", "X-CALLBACK", VK_TEXT, -1, 0},
    {30, "TEL", "TEL", "CAR", VK_TEXT, -1, 0},
    {31, "TEL", "TEL", "X-RADIO", VK_TEXT, -1, 0},
    {34, "TEL", "TEL", "WORK,FAX", VK_TEXT, -1, 0},
    {35, "TEL", "TEL", "HOME,FAX", VK_TEXT, -1, 0},
    {36, "TEL", "TEL", "PAGER", VK_TEXT, -1, 0},
    {60, "TEL", "TEL", "X-ASSISTANT", VK_TEXT, -1, 0},
    {37, "EMAIL", "EMAIL", "INTERNET,PREF", VK_TEXT, -1, 0},
    {38, "EMAIL", "EMAIL", "INTERNET", VK_TEXT, -1, 37},
    {39, "EMAIL", "EMAIL", "INTERNET", VK_TEXT, -1, 38},
    {56, "IMPP", "IMPP", nullptr, VK_TEXT, -1, 0},
    {57, "IMPP", "IMPP", nullptr, VK_TEXT, -1, 56},
    {40, "URL", "URL", "HOME", VK_TEXT, -1, 0},
    {41, "URL", "URL", "WORK", VK_TEXT, -1, 0},
    {42, "X-PELLMARK-FTP-SITE", "X-PELLMARK-FTP-SITE", nullptr, VK_TEXT, -1, 0},
    {67, "BDAY", "BDAY", nullptr, VK_DATE, -1, 0},
    {66, "X-ANNIVERSARY", "ANNIVERSARY", nullptr, VK_DATE, -1, 0},
    {58, "X-MANAGER", "X-MANAGER", nullptr, VK_TEXT, -1, 0},
    {59, "X-ASSISTANT", "X-ASSISTANT", nullptr, VK_TEXT, -1, 0},
    {61, "X-SPOUSE", "RELATED", "SPOUSE", VK_TEXT, -1, 0},
    {62, "X-PELLMARK-CHILDREN", "RELATED", "CHILD", VK_TEXT, -1, 0},
    {64, "X-PELLMARK-HOBBY", "HOBBY", nullptr, VK_TEXT, -1, 0},
    {75, "CATEGORIES", "CATEGORIES", nullptr, VK_LIST, -1, 0},
    {43, "NOTE", "NOTE", nullptr, VK_TEXT, -1, 0},
    {65, "X-PELLMARK-ACCOUNT", "X-PELLMARK-ACCOUNT", nullptr, VK_TEXT, -1, 0},
    {68, "X-PELLMARK-KEYWORD", "X-PELLMARK-KEYWORD", nullptr, VK_TEXT, -1, 0},
    {69, "X-PELLMARK-LANGUAGE", "X-PELLMARK-LANGUAGE", nullptr, VK_TEXT, -1, 0},
    {70, "X-PELLMARK-LOCATION", "X-PELLMARK-LOCATION", nullptr, VK_TEXT, -1, 0},
    {71, "X-PELLMARK-MHS-COMMON-NAME", "X-PELLMARK-MHS-COMMON-NAME", nullptr, VK_TEXT, -1, 0},
    {72, "X-PELLMARK-CUSTOMER-ID", "X-PELLMARK-CUSTOMER-ID", nullptr, VK_TEXT, -1, 0},
    {73, "X-PELLMARK-GOVERNMENT-ID", "X-PELLMARK-GOVERNMENT-ID", nullptr, VK_TEXT, -1, 0},
    {74, "X-PELLMARK-ORGANIZATION-ID", "X-PELLMARK-ORGANIZATION-ID", nullptr, VK_TEXT, -1, 0},
    {44, "X-PELLMARK-CUSTOM1", "X-PELLMARK-CUSTOM1", nullptr, VK_TEXT, -1, 0},
    {45, "X-PELLMARK-CUSTOM2", "X-PELLMARK-CUSTOM2", nullptr, VK_TEXT, -1, 0},
    {46, "X-PELLMARK-CUSTOM3", "X-PELLMARK-CUSTOM3", nullptr, VK_TEXT, -1, 0},
    {47, "X-PELLMARK-CUSTOM4", "X-PELLMARK-CUSTOM4", nullptr, VK_TEXT, -1, 0},
    {48, "X-PELLMARK-CUSTOM5", "X-PELLMARK-CUSTOM5", nullptr, VK_TEXT, -1, 0},
    {49, "X-PELLMARK-CUSTOM6", "X-PELLMARK-CUSTOM6", nullptr, VK_TEXT, -1, 0},
    {50, "X-PELLMARK-CUSTOM7", "X-PELLMARK-CUSTOM7", nullptr, VK_TEXT, -1, 0},
    {51, "X-PELLMARK-CUSTOM8", "X-PELLMARK-CUSTOM8", nullptr, VK_TEXT, -1, 0},
    {52, "X-PELLMARK-CUSTOM9", "X-PELLMARK-CUSTOM9", nullptr, VK_TEXT, -1, 0},
    {82, "X-PELLMARK-CUSTOM-LABEL1", "X-PELLMARK-CUSTOM-LABEL1", nullptr, VK_TEXT, -1, 0},
    {83, "X-PELLMARK-CUSTOM-LABEL2", "X-PELLMARK-CUSTOM-LABEL2", nullptr, VK_TEXT, -1, 0},
    {84, "X-PELLMARK-CUSTOM-LABEL3", "X-PELLMARK-CUSTOM-LABEL3", nullptr, VK_TEXT, -1, 0},
    {85, "X-PELLMARK-CUSTOM-LABEL4", "X-PELLMARK-CUSTOM-LABEL4", nullptr, VK_TEXT, -1, 0},
    {86, "X-PELLMARK-CUSTOM-LABEL5", "X-PELLMARK-CUSTOM-LABEL5", nullptr, VK_TEXT, -1, 0},
    {87, "X-PELLMARK-CUSTOM-LABEL6", "X-PELLMARK-CUSTOM-LABEL6", nullptr, VK_TEXT, -1, 0},
    {88, "X-PELLMARK-CUSTOM-LABEL7", "X-PELLMARK-CUSTOM-LABEL7", nullptr, VK_TEXT, -1, 0},
    {89, "X-PELLMARK-CUSTOM-LABEL8", "X-PELLMARK-CUSTOM-LABEL8", nullptr, VK_TEXT, -1, 0},
    {90, "X-PELLMARK-CUSTOM-LABEL9", "X-PELLMARK-CUSTOM-LABEL9", nullptr, VK_TEXT, -1, 0},
    {80, "UID", "UID", nullptr, VK_TEXT, -1, 0},
    {76, "X-PELLMARK-CREATION-TIME", "X-PELLMARK-CREATION-TIME", nullptr, VK_DATE, -1, 0},
    {77, "REV", "REV", nullptr, VK_DATE, -1, 0},
    {78, "X-PELLMARK-SOURCE-TYPE", "X-PELLMARK-SOURCE-TYPE", nullptr, VK_INT, -1, 0},
    {79, "X-PELLMARK-STATUS", "X-PELLMARK-STATUS", nullptr, VK_INT, -1, 0},
    {81, "X-PELLMARK-PRIVATE", "X-PELLMARK-PRIVATE", nullptr, VK_INT, -1, 0},
};

const size_t kRowCount = sizeof(kRows) / sizeof(kRows[0]);
static_assert(sizeof(kRows) / sizeof(kRows[0]) == 90, "one row for every field");

bool Same(const char* a, const char* b) { return (a == nullptr && b == nullptr) || (a && b && !strcmp(a, b)); }

}  // namespace

const FieldMap* Rows(size_t* pCount) {
    *pCount = kRowCount;
    return kRows;
}

namespace {

// Rows and slots by field id, made once.
struct Index {
    const FieldMap* pRow[COMMADDR_FIELD_COUNT + 1] = {};
    std::vector<const FieldMap*> slots[COMMADDR_FIELD_COUNT + 1];
    Index() {
        for (const FieldMap& r : kRows) pRow[r.nField] = &r;
        for (const FieldMap& key : kRows) {
            std::vector<const FieldMap*>& slot = slots[key.nField];
            if (key.nPart < 0) {
                slot.push_back(&key);
                continue;
            }
            for (const FieldMap& r : kRows)
                if (r.nPart >= 0 && !strcmp(r.szProp30, key.szProp30) && Same(r.szTypes, key.szTypes))
                    slot.push_back(&r);
        }
    }
};

const Index& TheIndex() {
    static const Index s_Index;
    return s_Index;
}

}  // namespace

const FieldMap* RowOf(int nField) {
    if (nField < 1 || nField > COMMADDR_FIELD_COUNT) return nullptr;
    return TheIndex().pRow[nField];
}

const std::vector<const FieldMap*>& SlotRows(int nKeyField) {
    static const std::vector<const FieldMap*> s_None;
    if (nKeyField < 1 || nKeyField > COMMADDR_FIELD_COUNT) return s_None;
    return TheIndex().slots[nKeyField];
}

}  // namespace vcardmap
