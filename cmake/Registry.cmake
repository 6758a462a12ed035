# The registry file beside the program: the stand-ins' registrations, in the
# .reg text format the registry layer reads. PELLMARK_REGISTRY names another
# file at run time (tests use their own).
set(_bin ${PELLMARK_BIN_DIR})
set(PELLMARK_OUTLOOK_CLSID "{0006F03A-0000-0000-C000-000000000046}")
file(WRITE ${PELLMARK_BIN_DIR}/pellmark.reg
"Windows Registry Editor Version 5.00\r
\r
[HKEY_CLASSES_ROOT\\Outlook.Application]\r
@=\"Microsoft Outlook\"\r
\r
[HKEY_CLASSES_ROOT\\Outlook.Application\\CLSID]\r
@=\"${PELLMARK_OUTLOOK_CLSID}\"\r
\r
[HKEY_CLASSES_ROOT\\CLSID\\${PELLMARK_OUTLOOK_CLSID}]\r
@=\"Microsoft Outlook\"\r
\r
[HKEY_CLASSES_ROOT\\CLSID\\${PELLMARK_OUTLOOK_CLSID}\\InprocServer32]\r
@=\"${_bin}/olstandin.so\"\r
\r
[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE]\r
@=\"${_bin}/OUTLOOK.EXE\"\r
\"Path\"=\"${_bin}/\"\r
\r
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WAB\\DLLPath]\r
@=\"${_bin}/wab32.so\"\r
")
