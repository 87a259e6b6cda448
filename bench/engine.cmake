# The conversion engine against tiffcp: engine-bench [--fax-pages N] [--repeat N] [--keep]
add_executable(engine-bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(engine-bench PRIVATE pagesmith_core pagesmith_bench_support)
