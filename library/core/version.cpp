// The library's version, shared by the resource script and the docs.
namespace quillon {
const char* libraryVersion() {
    return "1.0";
}
} // namespace quillon
