# A watched folder through the program: arrival to whole output, and the
# processor time of an idle watch: watch-bench [--arrivals 100] [--idle 60] [--keep]
if(TARGET pagesmith)
    add_executable(watch-bench ${CMAKE_CURRENT_LIST_DIR}/watch_bench.cpp)
    target_link_libraries(watch-bench PRIVATE pagesmith_bench_support TIFF::TIFF)
    target_compile_definitions(watch-bench PRIVATE PAGESMITH_BINARY="$<TARGET_FILE:pagesmith>")
    add_dependencies(watch-bench pagesmith)
endif()
