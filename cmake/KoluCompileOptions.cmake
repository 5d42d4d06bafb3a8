# Warnings and sanitizers shared by every Kolu target.
add_library(kolu_compile_options INTERFACE)
target_compile_options(kolu_compile_options INTERFACE -Wall -Wextra -Wpedantic)
if(KOLU_WERROR)
  target_compile_options(kolu_compile_options INTERFACE -Werror)
endif()
target_compile_definitions(kolu_compile_options INTERFACE
  QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_URL_CAST_FROM_STRING QT_USE_QSTRINGBUILDER)

if(KOLU_SANITIZE)
  set(_kolu_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(kolu_compile_options INTERFACE ${_kolu_san})
  target_link_options(kolu_compile_options INTERFACE ${_kolu_san})
endif()
