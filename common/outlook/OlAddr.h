// The Outlook store: the default Contacts folder, read into a contact list,
// and the writing of records back as Outlook contacts.
//
// One store object holds two uses of the shared connection (OlBaseUtil):
// the base constructor takes the first, this constructor the second, which
// also opens the default Contacts folder. When the folder cannot be opened
// the second use is given back and the store reads and writes nothing.
#pragma once

#include "common/model/CommAddrMgr.h"
#include "common/misc/DispCmd.h"
#include "common/outlook/OlComm.h"

// One Outlook contact as read from or written to its item: every member is
// the contact property of the same name, except where noted. Texts hold at
// most width - 1 bytes and a NUL; dates are OLE Automation dates. A record
// read from Outlook carries a copy of its block as side data.
struct OlContactData {
    char EntryID[1024];
    char StoreID[1024];  // "StoreID" of the folder the item was read from
    char Account[32];
    double Anniversary;
    char AssistantName[64];
    char AssistantTelephoneNumber[24];
    double Birthday;
    char Business2TelephoneNumber[24];
    char BusinessAddressCity[24];
    char BusinessAddressCountry[24];
    char BusinessAddressPostalCode[12];
    char BusinessAddressPostOfficeBox[12];
    char BusinessAddressState[24];
    char BusinessAddressStreet[128];
    char BusinessFaxNumber[24];
    char BusinessHomePage[256];
    char BusinessTelephoneNumber[24];
    char CallbackTelephoneNumber[24];
    char CarTelephoneNumber[24];
    char CompanyMainTelephoneNumber[24];
    char CompanyName[64];
    char ComputerNetworkName[32];
    char CustomerID[24];
    char Department[32];
    char Email1Address[64];
    char Email1AddressType[16];
    char Email1DisplayName[64];
    char Email2Address[64];
    char Email2AddressType[16];
    char Email2DisplayName[64];
    char Email3Address[64];
    char Email3AddressType[16];
    char Email3DisplayName[64];
    char FirstName[64];
    char FTPSite[256];
    char FullName[64];
    INT Gender;
    char Hobby[128];
    char Home2TelephoneNumber[24];
    char HomeAddressCity[24];
    char HomeAddressCountry[24];
    char HomeAddressPostalCode[12];
    char HomeAddressPostOfficeBox[12];
    char HomeAddressState[24];
    char HomeAddressStreet[128];
    char HomeFaxNumber[24];
    char HomeTelephoneNumber[24];
    char IMAddress[32];
    char Initials[8];
    char ISDNNumber[24];
    char JobTitle[32];
    char Language[8];
    char LastName[64];
    char MailingAddressCity[24];
    char MailingAddressCountry[24];
    char MailingAddressPostalCode[12];
    char MailingAddressPostOfficeBox[12];
    char MailingAddressState[24];
    char MailingAddressStreet[128];
    char ManagerName[64];
    char MiddleName[64];
    char MobileTelephoneNumber[24];
    char NickName[64];
    char OtherAddressCity[24];
    char OtherAddressCountry[24];
    char OtherAddressPostalCode[12];
    char OtherAddressPostOfficeBox[12];
    char OtherAddressState[24];
    char OtherAddressStreet[128];
    char OtherTelephoneNumber[24];
    char PagerNumber[24];
    char PersonalHomePage[256];
    char PrimaryTelephoneNumber[24];
    char Profession[32];
    char RadioTelephoneNumber[24];
    char Spouse[64];
    char Suffix[8];  // field 5 "Suffix"; never read from or written to Outlook
    char WebPage[256];
    char Body[2048];
    char FolderName[32];  // "Name" of the folder the item was read from
    char Categories[256];
    double CreationTime;
    double LastModificationTime;
};

class OlAddrUtil : public OlBaseUtil {
public:
    // Connects (two uses) and opens the default Contacts folder.
    OlAddrUtil();
    // Frees the list and its records, closes the folder, gives back both uses.
    ~OlAddrUtil() override;

    // Empties the list, then reads every item of the default Contacts folder
    // (not its subfolders) into it, in the folder's order. False when no
    // folder is open or its items cannot be reached; true for an empty one.
    bool Load() override;
    void Clear() override;
    void Init() override;
    void Term() override;
    bool Connect() override;
    void Disconnect() override;

    // The store's contact list; it stays owned by the store.
    CommAddrMgr* GetAddrMgr() const { return m_pAddrMgr; }
    // The open Contacts folder, or none.
    CDispCmd* GetContactFolder() const { return m_pContactFolder; }

    // Reads every item of one folder into the list; each record carries its
    // block as side data and "Source Type" 3.
    bool ReadFolder(IDispatch* pFolder);
    // Reads one item into a block (unreadable properties stay zero).
    bool ReadContactItem(IDispatch* pItem, OlContactData* pData);
    // Block to record by the field mapping; false only for a missing pointer.
    bool ContactDataToAddr(const OlContactData* pData, CommAddr* pAddr);

    // Writes a record to Outlook: updates its counterpart in the list when
    // that differs, adds a new contact when there is none. True only when a
    // write was saved; false for an equal counterpart (nothing written), a
    // missing record, list or folder, and a write that failed.
    bool SyncContact(CommAddr* pAddr);
    // Creates a contact from pAddr in pFolder (none: the Contacts folder) and
    // saves it. On success pAddr's side-data reference is set to the new
    // contact's block (the old reference is overwritten, not freed: pass a
    // record of your own); on failure pAddr is unchanged.
    bool AddContact(CommAddr* pAddr, CDispCmd* pFolder);
    // Overwrites the item that list position nPos (from 0) stands for with
    // pAddr's values. Nothing is written, and false returned, when the item
    // there is not the contact that was read there (its "EntryID" differs),
    // the position is negative or past the end, or the save fails.
    bool UpdateContact(CommAddr* pAddr, int nPos);
    // Record to block by the field mapping; members outside it are kept.
    bool AddrToContactData(const CommAddr* pAddr, OlContactData* pData);
    // Writes the non-empty members of a block to an item and saves it; false
    // for a missing pointer or a failed save.
    bool WriteContactItem(IDispatch* pItem, const OlContactData* pData);

private:
    // The Outlook block a record carries as side data, or none.
    static const OlContactData* GetContactData(const CommAddr* pAddr);
    // The "Items" collection of a folder, wrapped; none after logging.
    CDispCmd* GetFolderItems(CDispCmd* pFolder);

    CDispCmd* m_pContactFolder;  // owned; none while no folder is open
    CommAddrMgr* m_pAddrMgr;     // owned
};
