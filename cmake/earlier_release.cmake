# The earlier release: the same program built once more from the same sources, with
# LUMOR_EARLIER_RELEASE, which main() turns into the edition every differing place reads
# (src/core/app/edition.h). It gets a program folder of its own beside build/Lumor/, so that
# each keeps its own Config.cfg and packs saved in its editor.
#
# The shipped content (packs, Sound/, Musik/, Skins/) is hard-linked from the main program
# folder: no second copy on disk, and since the game saves every file by writing a new one
# and renaming it over the old, a save in one folder never changes the other's file.
set(LUMOR_EARLIER_PROGRAM_DIR ${CMAKE_BINARY_DIR}/Lumor-frueher)
file(MAKE_DIRECTORY ${LUMOR_EARLIER_PROGRAM_DIR})

add_executable(lumor_earlier ${PROJECT_SOURCE_DIR}/src/gui/app/main.cpp)
target_link_libraries(lumor_earlier PRIVATE lumor_gui)
target_compile_definitions(lumor_earlier PRIVATE LUMOR_EARLIER_RELEASE=1)
set_target_properties(lumor_earlier PROPERTIES
  OUTPUT_NAME Lumor RUNTIME_OUTPUT_DIRECTORY ${LUMOR_EARLIER_PROGRAM_DIR})

get_property(shipped GLOBAL PROPERTY LUMOR_SHIPPED_FILES)
set(earlier_files)
foreach(file IN LISTS shipped ITEMS ${LUMOR_PROGRAM_DIR}/Skins/Default.bmp)
  file(RELATIVE_PATH rel ${LUMOR_PROGRAM_DIR} ${file})
  get_filename_component(dir ${LUMOR_EARLIER_PROGRAM_DIR}/${rel} DIRECTORY)
  add_custom_command(
    OUTPUT ${LUMOR_EARLIER_PROGRAM_DIR}/${rel}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E create_hardlink ${file} ${LUMOR_EARLIER_PROGRAM_DIR}/${rel}
    DEPENDS ${file}
    COMMENT "Linking ${rel} into the earlier release's program folder")
  list(APPEND earlier_files ${LUMOR_EARLIER_PROGRAM_DIR}/${rel})
endforeach()
add_custom_target(lumor_earlier_data ALL DEPENDS ${earlier_files})
add_dependencies(lumor_earlier_data lumor_data lumor_desktop_files)
