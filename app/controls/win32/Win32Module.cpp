// Placeholder translation unit until the adapters arrive.
namespace tidewell::win32 {}
