#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/Com.h"

namespace {

// An IDispatch that only counts its references.
class CountingDispatch : public IDispatch {
public:
    ULONG m_nRef = 1;
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override { return --m_nRef; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

TEST(Bstr, IsLengthPrefixedAndMayHoldNul) {
    BSTR b = SysAllocString(u"Anna");
    ASSERT_NE(b, nullptr);
    UINT nPrefix;
    memcpy(&nPrefix, reinterpret_cast<char*>(b) - 4, 4);
    EXPECT_EQ(nPrefix, 8u);  // bytes, without the NUL
    EXPECT_EQ(SysStringLen(b), 4u);
    EXPECT_EQ(b[4], 0);
    SysFreeString(b);

    const WCHAR wsz[] = {u'a', 0, u'b'};
    b = SysAllocStringLen(wsz, 3);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(SysStringByteLen(b), 6u);
    EXPECT_EQ(b[2], u'b');
    SysFreeString(b);

    b = SysAllocStringLen(nullptr, 2);  // zero-filled
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(SysStringLen(b), 2u);
    SysFreeString(b);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Variant, ClearFreesWhatItHoldsOnce) {
    CountingDispatch disp;
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);

    v.vt = VT_DISPATCH;
    v.pdispVal = &disp;
    disp.AddRef();
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(disp.m_nRef, 1u);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(VariantClear(&v), S_OK);  // an empty variant releases nothing
    EXPECT_EQ(disp.m_nRef, 1u);

    v.vt = VT_DISPATCH;
    v.pdispVal = nullptr;  // a null object is allowed
    EXPECT_EQ(VariantClear(&v), S_OK);

    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(u"x");  // freed here; the sanitizer build sees a leak otherwise
    EXPECT_EQ(VariantClear(&v), S_OK);

    v.vt = 0x7F;
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(Variant, CopyDuplicatesTextAndAddsReferences) {
    CountingDispatch disp;
    VARIANT src, dst;
    VariantInit(&src);
    VariantInit(&dst);
    src.vt = VT_BSTR;
    src.bstrVal = SysAllocString(u"text");
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);
    EXPECT_NE(dst.bstrVal, src.bstrVal);
    EXPECT_EQ(std::u16string(dst.bstrVal), u"text");
    VariantClear(&src);

    src.vt = VT_DISPATCH;
    src.pdispVal = &disp;
    ASSERT_EQ(VariantCopy(&dst, &src), S_OK);  // frees the copied text first
    EXPECT_EQ(disp.m_nRef, 2u);
    VariantClear(&dst);
    EXPECT_EQ(disp.m_nRef, 1u);
}

}  // namespace
