# Build-time assets from npm, pinned by assets/package-lock.json and checked
# against the integrity hashes recorded there: the icon set, the display
# font and the brand icons. They are fetched once into KOLU_NPM_ASSETS_DIR (shared by the build
# folders; scripts/setup.sh fills it too) and only the files that Kolu uses
# are packed into kolu_style's resources or, for the brand icons, copied
# into a folder beside the program.
find_program(KOLU_NPM_EXECUTABLE npm REQUIRED)
set(KOLU_NPM_ASSETS_DIR ${PROJECT_SOURCE_DIR}/build/npm-assets CACHE PATH "Where the npm assets are installed")

set(_lock ${PROJECT_SOURCE_DIR}/assets/package-lock.json)
set(_manifest ${PROJECT_SOURCE_DIR}/assets/package.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_lock} ${_manifest})
set(_installed_lock ${KOLU_NPM_ASSETS_DIR}/package-lock.json)
file(SHA256 ${_lock} _want)
set(_have "")
if(EXISTS ${KOLU_NPM_ASSETS_DIR}/.installed-lock-sha256)
  file(READ ${KOLU_NPM_ASSETS_DIR}/.installed-lock-sha256 _have)
endif()
if(NOT _have STREQUAL _want)
  message(STATUS "Fetching the npm assets into ${KOLU_NPM_ASSETS_DIR}")
  file(MAKE_DIRECTORY ${KOLU_NPM_ASSETS_DIR})
  file(COPY ${_lock} ${_manifest} DESTINATION ${KOLU_NPM_ASSETS_DIR})
  execute_process(
    COMMAND ${KOLU_NPM_EXECUTABLE} ci --ignore-scripts --no-audit --no-fund --loglevel=error
    WORKING_DIRECTORY ${KOLU_NPM_ASSETS_DIR}
    RESULT_VARIABLE _npm_result)
  if(NOT _npm_result EQUAL 0)
    message(FATAL_ERROR "npm ci failed in ${KOLU_NPM_ASSETS_DIR} (${_npm_result})")
  endif()
  file(WRITE ${KOLU_NPM_ASSETS_DIR}/.installed-lock-sha256 ${_want})
endif()

set(KOLU_ICON_ASSETS ${KOLU_NPM_ASSETS_DIR}/node_modules/@phosphor-icons/core/assets)
set(KOLU_FONT_FILE
  ${KOLU_NPM_ASSETS_DIR}/node_modules/@fontsource/edu-nsw-act-cursive/files/edu-nsw-act-cursive-latin-400-normal.woff)
set(KOLU_BRAND_ICON_PACKAGE ${KOLU_NPM_ASSETS_DIR}/node_modules/simple-icons)

# kolu_add_style_assets(<target>): packs the icons named in the symbol table
# (regular, bold and fill weights), the table itself, the font and both
# licences into <target>'s resources under :/kolu/.
function(kolu_add_style_assets target table)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(STRINGS ${table} _rows REGEX "^[^#].*\t")
  set(_icons "")
  foreach(_row ${_rows})
    string(REGEX REPLACE "^[^\t]+\t([^\t]+).*$" "\\1" _icon "${_row}")
    list(APPEND _icons ${_icon})
  endforeach()
  list(REMOVE_DUPLICATES _icons)
  set(_files "")
  foreach(_icon ${_icons})
    foreach(_weight regular bold fill)
      if(_weight STREQUAL "regular")
        set(_name ${_icon}.svg)
      else()
        set(_name ${_icon}-${_weight}.svg)
      endif()
      set(_file ${KOLU_ICON_ASSETS}/${_weight}/${_name})
      # A name missing from the package is caught by the icon table test.
      if(EXISTS ${_file})
        set_source_files_properties(${_file} PROPERTIES QT_RESOURCE_ALIAS icons/${_weight}/${_icon}.svg)
        list(APPEND _files ${_file})
      endif()
    endforeach()
  endforeach()
  set_source_files_properties(${table} PROPERTIES QT_RESOURCE_ALIAS icons/symbols.tsv)
  set_source_files_properties(${KOLU_FONT_FILE} PROPERTIES QT_RESOURCE_ALIAS fonts/EduNSWACTCursive.woff)
  set_source_files_properties(${KOLU_NPM_ASSETS_DIR}/node_modules/@phosphor-icons/core/LICENSE
    PROPERTIES QT_RESOURCE_ALIAS icons/LICENSE)
  set_source_files_properties(${KOLU_NPM_ASSETS_DIR}/node_modules/@fontsource/edu-nsw-act-cursive/LICENSE
    PROPERTIES QT_RESOURCE_ALIAS fonts/LICENSE)
  qt_add_resources(${target} kolu_style_assets PREFIX /kolu FILES
    ${_files} ${table} ${KOLU_FONT_FILE}
    ${KOLU_NPM_ASSETS_DIR}/node_modules/@phosphor-icons/core/LICENSE
    ${KOLU_NPM_ASSETS_DIR}/node_modules/@fontsource/edu-nsw-act-cursive/LICENSE)
endfunction()

# kolu_copy_brand_icons(<table> <folder> [NO_INSTALL]): copies the icon of
# every slug in the brand colour table (the `{u"<slug>"_s, 0xRRGGBB}` rows of
# <table>), and nothing else, into <folder>, and unless NO_INSTALL is given,
# installs them in share/kolu/BrandIcons.
function(kolu_copy_brand_icons table folder)
  cmake_parse_arguments(ARG "NO_INSTALL" "" "" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(READ ${table} _source)
  string(REGEX MATCHALL "\\{u\"[a-z0-9]+\"_s, 0x[0-9A-Fa-f]+\\}" _rows "${_source}")
  file(REMOVE_RECURSE ${folder})
  file(MAKE_DIRECTORY ${folder})
  set(_files "")
  foreach(_row ${_rows})
    string(REGEX REPLACE "^\\{u\"([a-z0-9]+)\".*$" "\\1" _slug "${_row}")
    # A slug missing from the package is caught by the brand icon table test.
    if(EXISTS ${KOLU_BRAND_ICON_PACKAGE}/icons/${_slug}.svg)
      file(COPY ${KOLU_BRAND_ICON_PACKAGE}/icons/${_slug}.svg DESTINATION ${folder})
      list(APPEND _files ${folder}/${_slug}.svg)
    endif()
  endforeach()
  if(NOT ARG_NO_INSTALL)
    install(FILES ${_files} DESTINATION share/kolu/BrandIcons)
  endif()
endfunction()
