# Build-time assets from npm, pinned by assets/package-lock.json and checked
# against the integrity hashes recorded there: the icon set, the display
# font and the brand icons. They are fetched once into KOLU_NPM_ASSETS_DIR
# (shared by the build folders) and only the files that Kolu uses are packed
# into kolu_style's resources or, for the brand icons, copied into a folder
# beside the program.
find_program(KOLU_NPM_EXECUTABLE npm REQUIRED)
set(KOLU_NPM_ASSETS_DIR ${PROJECT_SOURCE_DIR}/build/npm-assets CACHE PATH "Where the npm assets are installed")

set(_lock ${PROJECT_SOURCE_DIR}/assets/package-lock.json)
set(_manifest ${PROJECT_SOURCE_DIR}/assets/package.json)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_lock} ${_manifest})
set(KOLU_ICON_ASSETS ${KOLU_NPM_ASSETS_DIR}/node_modules/@phosphor-icons/core/assets)
set(KOLU_FONT_FILE
  ${KOLU_NPM_ASSETS_DIR}/node_modules/@fontsource/edu-nsw-act-cursive/files/edu-nsw-act-cursive-latin-400-normal.woff)
set(KOLU_BRAND_ICON_PACKAGE ${KOLU_NPM_ASSETS_DIR}/node_modules/simple-icons)

# What the build takes from the folder by name, whatever the tables list: a
# folder missing any of them is fetched again. The icons themselves are
# picked by name from these folders.
set(_kolu_npm_required
  ${KOLU_FONT_FILE}
  ${KOLU_NPM_ASSETS_DIR}/node_modules/@fontsource/edu-nsw-act-cursive/LICENSE
  ${KOLU_NPM_ASSETS_DIR}/node_modules/@phosphor-icons/core/LICENSE
  ${KOLU_NPM_ASSETS_DIR}/node_modules/@phosphor-icons/core/package.json
  ${KOLU_NPM_ASSETS_DIR}/node_modules/simple-icons/package.json
  ${KOLU_BRAND_ICON_PACKAGE}/data/simple-icons.json)
set(_kolu_npm_required_folders
  ${KOLU_ICON_ASSETS}/regular ${KOLU_ICON_ASSETS}/bold ${KOLU_ICON_ASSETS}/fill ${KOLU_BRAND_ICON_PACKAGE}/icons)

# Sets <out> to the required files and folders missing from the folder.
function(_kolu_npm_missing out)
  set(_missing "")
  foreach(_file ${_kolu_npm_required})
    if(NOT EXISTS ${_file} OR IS_DIRECTORY ${_file})
      list(APPEND _missing ${_file})
    endif()
  endforeach()
  foreach(_folder ${_kolu_npm_required_folders})
    if(NOT IS_DIRECTORY ${_folder})
      list(APPEND _missing ${_folder})
    endif()
  endforeach()
  set(${out} ${_missing} PARENT_SCOPE)
endfunction()

# Sets <out> to the list of every file the fetch left, one a line: kept
# beside the marker, it lets a later configure see a folder that lost any
# file, icons included, since it was filled.
function(_kolu_npm_tree out)
  file(GLOB_RECURSE _files LIST_DIRECTORIES false RELATIVE ${KOLU_NPM_ASSETS_DIR}/node_modules
    ${KOLU_NPM_ASSETS_DIR}/node_modules/*)
  list(JOIN _files "\n" _tree)
  set(${out} "${_tree}" PARENT_SCOPE)
endfunction()

# The folder is shared by every build folder and by configures that run at
# the same time (the README's two scripts): one configure at a time looks at
# it and fills it, under a lock on a file beside it that is held until the
# folder is whole. The marker names the lock file it was installed from and
# is written last, once every required file is there and the tree is
# recorded, and removed before any fetch: a fetch cut short leaves no marker
# and is redone, and so is a folder whose tree no longer matches the record.
set(_marker ${KOLU_NPM_ASSETS_DIR}/.installed-lock-sha256)
set(_tree_record ${KOLU_NPM_ASSETS_DIR}/.installed-files)
get_filename_component(_assets_parent ${KOLU_NPM_ASSETS_DIR} DIRECTORY)
file(MAKE_DIRECTORY ${_assets_parent})
set(_assets_lock ${KOLU_NPM_ASSETS_DIR}.lock)
file(LOCK ${_assets_lock} GUARD PROCESS TIMEOUT 0 RESULT_VARIABLE _lock_result)
if(NOT _lock_result EQUAL 0)
  message(STATUS "Waiting for another configure to finish the npm assets in ${KOLU_NPM_ASSETS_DIR}")
  file(LOCK ${_assets_lock} GUARD PROCESS RESULT_VARIABLE _lock_result)
  if(NOT _lock_result EQUAL 0)
    message(FATAL_ERROR "Could not lock ${_assets_lock}: ${_lock_result}")
  endif()
endif()

file(SHA256 ${_lock} _want)
set(_have "")
if(EXISTS ${_marker})
  file(READ ${_marker} _have)
endif()
_kolu_npm_missing(_missing)
if(_have STREQUAL _want AND NOT _missing)
  set(_recorded "")
  if(EXISTS ${_tree_record})
    file(READ ${_tree_record} _recorded)
  endif()
  _kolu_npm_tree(_tree)
  if(NOT EXISTS ${_tree_record})
    set(_missing ${_tree_record})
  elseif(NOT _recorded STREQUAL _tree)
    set(_missing "files listed in ${_tree_record}")
  endif()
endif()
if(_have STREQUAL _want AND _missing)
  list(JOIN _missing "\n  " _listed)
  message(STATUS "The npm assets in ${KOLU_NPM_ASSETS_DIR} are incomplete; fetching them again. Missing:\n  ${_listed}")
endif()
if(NOT _have STREQUAL _want OR _missing)
  message(STATUS "Fetching the npm assets into ${KOLU_NPM_ASSETS_DIR}")
  file(REMOVE ${_marker} ${_tree_record})
  # npm ci clears node_modules itself, but stumbles on a tree that another
  # fetch left half written.
  file(REMOVE_RECURSE ${KOLU_NPM_ASSETS_DIR}/node_modules)
  file(MAKE_DIRECTORY ${KOLU_NPM_ASSETS_DIR})
  file(COPY ${_lock} ${_manifest} DESTINATION ${KOLU_NPM_ASSETS_DIR})
  execute_process(
    COMMAND ${KOLU_NPM_EXECUTABLE} ci --ignore-scripts --no-audit --no-fund --loglevel=error
    WORKING_DIRECTORY ${KOLU_NPM_ASSETS_DIR}
    RESULT_VARIABLE _npm_result)
  if(NOT _npm_result EQUAL 0)
    file(LOCK ${_assets_lock} RELEASE)
    message(FATAL_ERROR "npm ci failed in ${KOLU_NPM_ASSETS_DIR} (${_npm_result})")
  endif()
  _kolu_npm_missing(_missing)
  if(_missing)
    file(LOCK ${_assets_lock} RELEASE)
    list(JOIN _missing "\n  " _listed)
    message(FATAL_ERROR "npm ci left ${KOLU_NPM_ASSETS_DIR} without:\n  ${_listed}")
  endif()
  _kolu_npm_tree(_tree)
  file(WRITE ${_tree_record} "${_tree}")
  file(WRITE ${_marker}.partial ${_want})
  file(RENAME ${_marker}.partial ${_marker})
endif()
file(LOCK ${_assets_lock} RELEASE)

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
