#include "common/misc/CxDateTime.h"

CxDateTime::CxDateTime() : m_dtVariant(0), m_st{}, m_bValid(0) {}
CxDateTime::~CxDateTime() {}
void CxDateTime::SetVariantTime(double) {}
void CxDateTime::Convert(int) {}
void CxDateTime::FormatDate(char*, DWORD) const {}
void CxDateTime::FormatTime(char*, DWORD) const {}
void CxDateTime::FormatDateTime(char*, DWORD) const {}
