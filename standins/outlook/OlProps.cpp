#include "standins/outlook/OlProps.h"

#include <string>
#include <unordered_map>

namespace {

const OlPropDef kContactProps[] = {
    {"Account", OL_PROP_TEXT},
    {"Anniversary", OL_PROP_DATE},
    {"AssistantName", OL_PROP_TEXT},
    {"AssistantTelephoneNumber", OL_PROP_TEXT},
    {"Birthday", OL_PROP_DATE},
    {"Business2TelephoneNumber", OL_PROP_TEXT},
    {"BusinessAddressCity", OL_PROP_TEXT},
    {"BusinessAddressCountry", OL_PROP_TEXT},
    {"BusinessAddressPostalCode", OL_PROP_TEXT},
    {"BusinessAddressPostOfficeBox", OL_PROP_TEXT},
    {"BusinessAddressState", OL_PROP_TEXT},
    {"BusinessAddressStreet", OL_PROP_TEXT},
    {"BusinessFaxNumber", OL_PROP_TEXT},
    {"BusinessHomePage", OL_PROP_TEXT},
    {"BusinessTelephoneNumber", OL_PROP_TEXT},
    {"CallbackTelephoneNumber", OL_PROP_TEXT},
    {"CarTelephoneNumber", OL_PROP_TEXT},
    {"CompanyMainTelephoneNumber", OL_PROP_TEXT},
    {"CompanyName", OL_PROP_TEXT},
    {"ComputerNetworkName", OL_PROP_TEXT},
    {"CustomerID", OL_PROP_TEXT},
    {"Department", OL_PROP_TEXT},
    {"Email1Address", OL_PROP_TEXT},
    {"Email1AddressType", OL_PROP_TEXT},
    {"Email1DisplayName", OL_PROP_TEXT},
    {"Email2Address", OL_PROP_TEXT},
    {"Email2AddressType", OL_PROP_TEXT},
    {"Email2DisplayName", OL_PROP_TEXT},
    {"Email3Address", OL_PROP_TEXT},
    {"Email3AddressType", OL_PROP_TEXT},
    {"Email3DisplayName", OL_PROP_TEXT},
    {"FirstName", OL_PROP_TEXT},
    {"FTPSite", OL_PROP_TEXT},
    {"FullName", OL_PROP_TEXT},
    {"Gender", OL_PROP_LONG},
    {"Hobby", OL_PROP_TEXT},
    {"Home2TelephoneNumber", OL_PROP_TEXT},
    {"HomeAddressCity", OL_PROP_TEXT},
    {"HomeAddressCountry", OL_PROP_TEXT},
    {"HomeAddressPostalCode", OL_PROP_TEXT},
    {"HomeAddressPostOfficeBox", OL_PROP_TEXT},
    {"HomeAddressState", OL_PROP_TEXT},
    {"HomeAddressStreet", OL_PROP_TEXT},
    {"HomeFaxNumber", OL_PROP_TEXT},
    {"HomeTelephoneNumber", OL_PROP_TEXT},
    {"IMAddress", OL_PROP_TEXT},
    {"Initials", OL_PROP_TEXT},
    {"ISDNNumber", OL_PROP_TEXT},
    {"JobTitle", OL_PROP_TEXT},
    {"Language", OL_PROP_TEXT},
    {"LastName", OL_PROP_TEXT},
    {"MailingAddressCity", OL_PROP_TEXT},
    {"MailingAddressCountry", OL_PROP_TEXT},
    {"MailingAddressPostalCode", OL_PROP_TEXT},
    {"MailingAddressPostOfficeBox", OL_PROP_TEXT},
    {"MailingAddressState", OL_PROP_TEXT},
    {"MailingAddressStreet", OL_PROP_TEXT},
    {"ManagerName", OL_PROP_TEXT},
    {"MiddleName", OL_PROP_TEXT},
    {"MobileTelephoneNumber", OL_PROP_TEXT},
    {"NickName", OL_PROP_TEXT},
    {"OtherAddressCity", OL_PROP_TEXT},
    {"OtherAddressCountry", OL_PROP_TEXT},
    {"OtherAddressPostalCode", OL_PROP_TEXT},
    {"OtherAddressPostOfficeBox", OL_PROP_TEXT},
    {"OtherAddressState", OL_PROP_TEXT},
    {"OtherAddressStreet", OL_PROP_TEXT},
    {"OtherTelephoneNumber", OL_PROP_TEXT},
    {"PagerNumber", OL_PROP_TEXT},
    {"PersonalHomePage", OL_PROP_TEXT},
    {"PrimaryTelephoneNumber", OL_PROP_TEXT},
    {"Profession", OL_PROP_TEXT},
    {"RadioTelephoneNumber", OL_PROP_TEXT},
    {"Spouse", OL_PROP_TEXT},
    {"Suffix", OL_PROP_TEXT},
    {"Title", OL_PROP_TEXT},
    {"WebPage", OL_PROP_TEXT},
    {"Body", OL_PROP_TEXT},
    {"Categories", OL_PROP_TEXT},
};

const OlPropDef kDistListProps[] = {
    {"DLName", OL_PROP_TEXT},
    {"Body", OL_PROP_TEXT},
    {"Categories", OL_PROP_TEXT},
    {OL_DL_MEMBERS, OL_PROP_TEXT},
};

}  // namespace

const OlPropDef* OlItemProps(int nKind, size_t* pnCount) {
    if (nKind == OL_DISTLIST_ITEM) {
        *pnCount = sizeof(kDistListProps) / sizeof(kDistListProps[0]);
        return kDistListProps;
    }
    *pnCount = sizeof(kContactProps) / sizeof(kContactProps[0]);
    return kContactProps;
}

namespace {

// Lower-case name to property, one table per kind of item.
std::unordered_map<std::string, const OlPropDef*> MakeIndex(int nKind) {
    std::unordered_map<std::string, const OlPropDef*> index;
    size_t n = 0;
    const OlPropDef* pDefs = OlItemProps(nKind, &n);
    for (size_t i = 0; i < n; ++i) {
        std::string s = pDefs[i].szName;
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        index[s] = &pDefs[i];
    }
    return index;
}

}  // namespace

const OlPropDef* FindOlItemProp(int nKind, const char* szName) {
    if (szName == nullptr) return nullptr;
    static const std::unordered_map<std::string, const OlPropDef*> contact = MakeIndex(OL_CONTACT_ITEM);
    static const std::unordered_map<std::string, const OlPropDef*> distList = MakeIndex(OL_DISTLIST_ITEM);
    std::string s = szName;
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    const auto& index = nKind == OL_DISTLIST_ITEM ? distList : contact;
    auto it = index.find(s);
    return it == index.end() ? nullptr : it->second;
}
