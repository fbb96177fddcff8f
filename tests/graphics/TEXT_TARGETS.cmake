# Fonts, text layout and outlined text.
lumarra_add_test(test_graphics_text
  SOURCES TextFontTest.cpp TextLayoutTest.cpp TextOutlinedTest.cpp
  LIBS lumarra_graphics lumarra_platform)
lumarra_add_test(test_graphics_text_threads THREAD
  SOURCES TextGlyphCacheThreadTest.cpp
  LIBS lumarra_graphics lumarra_platform)
