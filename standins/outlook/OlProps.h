// The properties the stand-in's contact items and distribution lists hold.
#pragma once

#include <cstddef>

// How a property's value travels: text (VT_BSTR), date (VT_DATE) or 32-bit
// integer (VT_I4).
enum OlPropKind { OL_PROP_TEXT, OL_PROP_DATE, OL_PROP_LONG };

struct OlPropDef {
    const char* szName;
    OlPropKind nKind;
};

// Outlook's item types for "Items.Add" and the item classes ("Class").
#define OL_CONTACT_ITEM 2
#define OL_DISTLIST_ITEM 7
#define OL_CLASS_CONTACT 40
#define OL_CLASS_DISTLIST 69

// Outlook's number of the default Contacts folder for "GetDefaultFolder".
#define OL_FOLDER_CONTACTS 10

// An unset date, as Outlook reports it: 1 January 4501.
#define OL_NO_DATE 949998.0

// The writable properties of an item of the kind (OL_CONTACT_ITEM or
// OL_DISTLIST_ITEM); *pnCount gets their number.
const OlPropDef* OlItemProps(int nKind, size_t* pnCount);

// The writable property of that name (compared without regard to case), or
// none.
const OlPropDef* FindOlItemProp(int nKind, const char* szName);

// The distribution list's member list lives in this internal text property,
// one member a line; automation sees only "MemberCount".
#define OL_DL_MEMBERS "Members"
