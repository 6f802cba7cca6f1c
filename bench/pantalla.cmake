kev_bench(bench_pantalla pantalla.cpp kev_mail kev_terminal)
