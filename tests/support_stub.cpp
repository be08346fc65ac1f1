// Keeps the test support library non-empty while its folder has no sources.
namespace zorbel::test_support {
int keep_library_non_empty = 0;
}
