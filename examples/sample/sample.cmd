korvan2a /g:sample /n:300 /al:286 /ry:113 /sd:155 /d:275;81;80 /m:sample.ztm
