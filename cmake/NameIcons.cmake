# Copies the icons make-icons draws, FROM/hicolor/<n>x<n>/apps/pagesmith.png,
# to TO/hicolor/<n>x<n>/apps/NAME.png: the name the desktop entry and the
# software-centre entry look the icon up by.
# Run: cmake -DFROM=<dir> -DTO=<dir> -DNAME=<name> -P NameIcons.cmake
file(GLOB icons RELATIVE ${FROM} ${FROM}/hicolor/*/apps/pagesmith.png)
if(NOT icons)
    message(FATAL_ERROR "no icons in ${FROM}/hicolor")
endif()
file(REMOVE_RECURSE ${TO}/hicolor)
foreach(icon IN LISTS icons)
    get_filename_component(folder ${icon} DIRECTORY)
    file(MAKE_DIRECTORY ${TO}/${folder})
    file(COPY_FILE ${FROM}/${icon} ${TO}/${folder}/${NAME}.png)
endforeach()
