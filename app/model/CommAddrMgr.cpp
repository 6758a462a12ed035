#include "app/model/CommAddrMgr.h"

CommAddrMgr::CommAddrMgr() : m_pList(new CxList), m_nKeyField{}, m_nKeyFieldCount(0), m_nCmpField{}, m_nCmpFieldCount(0), m_bCaseSensitive(0) {}
CommAddrMgr::~CommAddrMgr() { delete m_pList; }
void CommAddrMgr::RemoveAll() {}
CommAddr* CommAddrMgr::AddCopy(const CommAddr*) { return nullptr; }
void CommAddrMgr::FreeAddr(CommAddr*) {}
CommAddr* CommAddrMgr::GetFirst() { return nullptr; }
CommAddr* CommAddrMgr::GetNext() { return nullptr; }
int CommAddrMgr::FindAddr(const CommAddr*, CommAddr**, int*) { return -1; }
bool CommAddrMgr::CompareWith(CommAddrMgr*) { return false; }
bool CommAddrMgr::CompareWithWalk(CommAddrMgr*) { return false; }
void CommAddrMgr::SetKeyFields(const DWORD*, DWORD) {}
void CommAddrMgr::SetCompareFields(const DWORD*, DWORD) {}
bool CommAddrMgr::IsSameContact(const CommAddr*, const CommAddr*) const { return false; }
bool CommAddrMgr::IsSameContent(const CommAddr*, const CommAddr*) const { return false; }
bool CommAddrMgr::FieldsEqual(const CommAddr*, const CommAddr*, const DWORD*, DWORD) const { return false; }
int CommAddrMgr::CompareText(const char*, const char*) const { return -1; }
bool CommAddrMgr::GetFieldInfo(int, CommAddrField*) { return false; }
bool CommAddrMgr::GetFieldText(const CommAddr*, const CommAddrField*, char*, DWORD) { return false; }
