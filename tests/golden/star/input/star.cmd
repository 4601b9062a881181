korvan2a /g:star /n:200 /al:185 /ry:60 /sd:50 /d:37;137;14 /m:star.ztm
