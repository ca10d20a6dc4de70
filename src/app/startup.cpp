// What runs before WinMain, on every start whatever the command line, in this
// order:
//   1. the clipboard format that names chip data is registered;
//   2. the header keyword table is in place. It is constant data, so it is
//      there before any code of the program runs.
namespace {

struct StartUp {
    StartUp() {}
};

const StartUp startUp;

} // namespace
