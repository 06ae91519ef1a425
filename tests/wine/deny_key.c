/* deny_key SDDL KEY...: gives each key under HKEY_CURRENT_USER the access list SDDL, as an
 * administrator's outside change would (Wine's reg.exe can't). Creates missing keys. */
#include <windows.h> /* first: the other Windows headers build on it */

#include <sddl.h>
#include <stdio.h>

int wmain(int argc, wchar_t** argv) {
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (argc < 3 ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorW(argv[1], SDDL_REVISION_1, &descriptor, NULL)) {
        fputs("usage: deny_key SDDL KEY...\n", stderr);
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        HKEY key;
        LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, argv[i], 0, NULL, 0, WRITE_DAC, NULL, &key, NULL);
        if (result == ERROR_SUCCESS) {
            result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
            RegCloseKey(key);
        }
        if (result != ERROR_SUCCESS) {
            fprintf(stderr, "deny_key: %ls: error %ld\n", argv[i], result);
            return 1;
        }
    }
    LocalFree(descriptor);
    return 0;
}
