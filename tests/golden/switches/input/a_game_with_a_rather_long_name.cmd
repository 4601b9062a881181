korvan2a /g:a_game_with_a_rather_long_name /n:200 /al:42 /ry:62 /sd:174 /d:59;191;124 /m:a_game_with_a_rather_long_name.ztm
