# One interface target carries the compile flags every Ordwin target shares.
add_library(ordwin_flags INTERFACE)
target_compile_options(ordwin_flags INTERFACE -Wall -Wextra -Werror)
target_compile_definitions(ordwin_flags INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_NO_KEYWORDS)

option(ORDWIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(ORDWIN_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_compile_options(ordwin_flags INTERFACE ${_san})
    target_link_options(ordwin_flags INTERFACE ${_san})
endif()
